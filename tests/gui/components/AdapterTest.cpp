#include "framework/gui/AdapterComponent.h"

#include "Recorder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace q9test;

namespace {

// The effect's case: a panel designed at 200 x 100 shown at half size inside a 120 x 60 window.
struct Scaled : public ::testing::Test {
    std::vector<std::string> log;
    FakeHost host;
    ComponentsContainer outer{&host};
    Probe* root = new Probe(log, "root", {0, 0, 120, 60});
    AdapterComponent* adapter = new AdapterComponent();
    Probe* panel = new Probe(log, "panel", {0, 0, 200, 100}, Colour(10, 200, 30));
    Probe* knob = new Probe(log, "knob", {100, 40, 40, 20}, Colour(250, 250, 250));
    std::vector<uint32_t> pixels = std::vector<uint32_t>(120 * 60, 0);

    void SetUp() override
    {
        panel->addChild(knob);
        adapter->setBounds(Rectangle(10, 5, 100, 50), false);
        root->addAndMakeVisible(adapter);
        adapter->setContent(panel);
        outer.setRoot(root, true, true);
        outer.setSize(120, 60);
        outer.setListener(&host);
        paint();
        log.clear();
    }
    void paint() { outer.paintDirtyRegion(reinterpret_cast<uint8_t*>(pixels.data()), 120, 60, 120 * 4, true); }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * 120 + size_t(x)]; }
};

bool near(uint32_t pixel, Colour c)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((pixel >> shift) & 255) - int((c.getARGB() >> shift) & 255)) > 8)
            return false;
    return true;
}

} // namespace

TEST_F(Scaled, ContentRepaintsBecomeAdapterRepaintsThroughTheScale)
{
    outer.clearRegions();
    knob->repaint();
    // Content (100, 40, 40, 20) is adapter (50, 20, 20, 10), window (60, 25, 20, 10); the resampling
    // filter spreads a change a few pixels further, so the dirty area holds at least that.
    const Rectangle dirty = outer.getDirtyRegion().getBounds();
    EXPECT_TRUE(dirty.contains(Rectangle(60, 25, 20, 10))) << str(dirty);
    EXPECT_TRUE(Rectangle(10, 5, 100, 50).contains(dirty)) << "never beyond the adapter: " << str(dirty);

    paint();
    EXPECT_EQ(log.back(), "knob paint 100,40,40,20") << "the nested tree repaints only its dirty part";
    // Deep inside the knob's scaled area the picture is the knob's colour, outside it the panel's
    // (within the resampler's fixed-point rounding).
    EXPECT_TRUE(near(at(70, 30), Colour(250, 250, 250))) << std::hex << at(70, 30);
    EXPECT_TRUE(near(at(25, 15), Colour(10, 200, 30))) << std::hex << at(25, 15);
}

TEST_F(Scaled, ContentOfTheAdaptersSizeIsDrawnWithoutResampling)
{
    adapter->setSize(200, 100);
    outer.setSize(220, 110);
    pixels.assign(220 * 110, 0);
    outer.paintDirtyRegion(reinterpret_cast<uint8_t*>(pixels.data()), 220, 110, 220 * 4, true);
    // Every pixel the same as the content image: a resampled picture would blur the knob's edge.
    const Image& content = adapter->getContentImage();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(pixels[size_t(y + 5) * 220 + size_t(x + 10)],
                      *reinterpret_cast<const uint32_t*>(content.getPixelPointer(x, y)))
                << x << "," << y;
    EXPECT_EQ(pixels[size_t(45) * 220 + 110], Colour(250, 250, 250).getARGB());
    EXPECT_EQ(pixels[size_t(45) * 220 + 109], Colour(10, 200, 30).getARGB());
}
