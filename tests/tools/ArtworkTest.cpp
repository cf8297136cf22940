// The shipped artwork, read back from the built resources.bin the way the editor reads it.
#include "framework/resources/ResourcePack.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

struct Control {
    const char* entry;
    int x, y, w, h, frames;
    int backgroundFrame;   // the frame the background shows: the control at its default value
};

// The editor's layout: rectangles in the background's pixels, strip frame counts, default values.
const Control controls[] = {
    {"slice_knbAttack", 510, 128, 127, 129, 101, 50}, {"slice_knbDrive", 645, 110, 101, 106, 101, 0},
    {"slice_knbRelease", 755, 127, 123, 131, 101, 50}, {"slice_knbGain", 891, 110, 96, 105, 101, 50},
    {"slice_tbtnBypass", 897, 228, 84, 57, 101, 0},    {"satled.png", 673, 228, 43, 40, 101, 0},
    {"attack.png", 519, 260, 110, 34, 3, 1},          {"release.png", 767, 261, 107, 31, 3, 1},
};

uint32_t pixel(const Image& image, int x, int y)
{
    const uint8_t* p = image.getPixelPointer(x, y);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
double luminance(uint32_t p) { return 0.3 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) + 0.11 * (p & 0xFF); }

/** Pixels of the frame's rectangle that differ from the background. */
int differingPixels(const Image& strip, const Control& c, int frame, const Image& background)
{
    int count = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            count += pixel(strip, x, frame * c.h + y) != pixel(background, c.x + x, c.y + y);
    return count;
}

class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pack = ResourcePack::loadFile(KELVANE_BUILT_RESOURCES).release(); }
    static void TearDownTestSuite()
    {
        delete pack;
        pack = nullptr;
    }
    void SetUp() override { ASSERT_NE(pack, nullptr) << "no pack at " << KELVANE_BUILT_RESOURCES; }
    static ResourcePack* pack;
};
ResourcePack* ArtworkTest::pack = nullptr;

TEST_F(ArtworkTest, FramesAreCutFromTheBackgroundAndMove)
{
    const Image background = pack->getImage("KV.0001.tif");
    for (const Control& c : controls) {
        SCOPED_TRACE(c.entry);
        const Image strip = pack->getImage(c.entry);
        ASSERT_EQ(strip.getHeight(), c.h * c.frames);
        // The default frame is the background itself, to the pixel: an opaque control drawn over the
        // panel shows no seam.
        EXPECT_EQ(differingPixels(strip, c, c.backgroundFrame, background), 0);
        for (int frame = 0; frame < c.frames; ++frame) {
            // Whatever moves stays off the rectangle's corners, which always show the plate.
            for (int corner = 0; corner < 4; ++corner) {
                const int x = corner % 2 == 0 ? 0 : c.w - 1, y = corner < 2 ? 0 : c.h - 1;
                ASSERT_EQ(pixel(strip, x, frame * c.h + y), pixel(background, c.x + x, c.y + y))
                    << "frame " << frame << " corner " << corner;
            }
        }
        // The first and last frames show different states (a toggle's off and on, a knob's ends).
        int changed = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                changed += pixel(strip, x, y) != pixel(strip, x, (c.frames - 1) * c.h + y);
        EXPECT_GT(changed, 50);
    }
}

// The needle turns about a point 20 units below the meter's bottom centre, by position x 1.82 - 0.91
// radians, and its tip lies 29 a^2 + (height - 26) from the pivot. The marks for full-scale levels
// must sit under the tip at the positions the editor gives those levels.
TEST_F(ArtworkTest, DialMarksSitWhereTheNeedlePointsForTheirLevels)
{
    const Image background = pack->getImage("KV.0001.tif");
    struct Meter {
        int x, y, w, h;
    };
    const Meter meters[] = {{177, 56, 272, 131}, {1055, 56, 272, 131}};
    // 0 dB (level 1.0), -3 dB (0.707), -6 dB (0.5), -20 dB (0.1), +3 dB (1.412): the mapping's breakpoints.
    const double markPositions[] = {0.66, 0.39, 0.2206, 0.0, 1.0};
    for (const Meter& m : meters) {
        const double pivotX = m.x + m.w / 2, pivotY = m.y + m.h + 20;
        auto darkestUnderTip = [&](double position) {
            const double a = position * 1.82 - 0.91;
            const double tip = 29 * a * a + (m.h - 26);
            double darkest = 255;
            for (double d = tip - 13; d <= tip - 4; d += 0.5)
                darkest = std::min(darkest, luminance(pixel(background, int(std::lround(pivotX + d * std::sin(a))),
                                                            int(std::lround(pivotY - d * std::cos(a))))));
            return darkest;
        };
        for (double p : markPositions)
            EXPECT_LT(darkestUnderTip(p), 120) << "no mark at position " << p << " of the meter at x " << m.x;
        // Between the -2 dB and -1 dB marks the face is bare.
        EXPECT_GT(darkestUnderTip(0.515), 150) << "meter at x " << m.x;
    }
}

std::vector<char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ArtworkProgram, DrawsTheSameBytesEveryRun)
{
    char pattern[] = "/tmp/kelvane-artwork-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string root = pattern, first = root + "/a", second = root + "/b";
    ASSERT_EQ(::mkdir(first.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(second.c_str(), 0700), 0);
    for (const std::string& folder : {first, second}) {
        const std::string command = std::string("'") + KELVANE_ARTWORK_TOOL + "' '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    for (const char* file : {"KV.png", "slice_knbAttack.png", "slice_knbDrive.png", "slice_knbRelease.png",
                             "slice_knbGain.png", "slice_tbtnBypass.png", "satled.png", "attack.png", "release.png"}) {
        const std::vector<char> a = fileBytes(first + "/" + file);
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == fileBytes(second + "/" + file)) << file << " differs between runs";
        std::remove((first + "/" + file).c_str());
        std::remove((second + "/" + file).c_str());
    }
    ::rmdir(first.c_str());
    ::rmdir(second.c_str());
    ::rmdir(root.c_str());
}

} // namespace
