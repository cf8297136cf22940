#include "effect/editor/DriveLed.h"
#include "effect/editor/LevelMeter.h"

#include "FakeWindow.h"

#include "framework/gui/AdapterComponent.h"
#include "framework/gui/ComponentsContainer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace q9test;

namespace {

// The editor's arrangement: a 1500 x 350 panel inside an adapter at the window's origin, shown at
// 750 x 175 (half size), with the input meter and the drive indicator at their panel places.
struct Editor : public ::testing::Test {
    std::unique_ptr<FakeContext> context = std::make_unique<FakeContext>();
    std::shared_ptr<FakeContext::Record> rec = context->record;
    FakeHost host;
    ComponentsContainer window{&host};
    Component* root = new Component();
    AdapterComponent* adapter = new AdapterComponent();
    Component* panel = new Component();
    LevelMeter* meter = new LevelMeter(adapter);
    DriveLed* led = new DriveLed(adapter);

    void SetUp() override
    {
        host.context = context.get();
        panel->setBounds(Rectangle(0, 0, 1500, 350), false);
        meter->setBounds(Rectangle(177, 56, 272, 131), false);
        led->setBounds(Rectangle(673, 228, 43, 40), false);
        panel->addAndMakeVisible(meter);
        panel->addAndMakeVisible(led);
        root->addAndMakeVisible(adapter);
        showAt(750);
        adapter->setContent(panel);
        window.setRoot(root, true, true);
        window.broadcastUpdate();    // the adapter hands the window's host to the panel's tree
    }
    void showAt(int width) { adapter->setBounds(Rectangle(0, 0, width, width * 175 / 750), false); }
};

std::array<double, 8> quad(double x0, double y0, double x1, double y1)
{
    return {x0, y0, x1, y0, x1, y1, x0, y1};
}

} // namespace

TEST_F(Editor, UprightNeedleAndShadowAtHalfSize)
{
    meter->setPosition(0.5f);
    meter->frameFinished();

    ASSERT_EQ(rec->texturesMade, 1);
    const Image& line = rec->lastTexture->pixels;
    ASSERT_EQ(line.getWidth(), 6);
    ASSERT_EQ(line.getHeight(), 262);
    for (int x = 0; x < 6; ++x)
        for (int y : {0, 130, 261}) {
            const uint32_t expected = (x == 2 || x == 3) ? 0xFF141414u : 0u;
            EXPECT_EQ(*reinterpret_cast<const uint32_t*>(line.getPixelPointer(x, y)), expected) << x << "," << y;
        }

    ASSERT_EQ(rec->draws.size(), 2u);
    const std::array<double, 4> wholeTexture{0, 0, 6, 262};
    EXPECT_EQ(rec->draws[0].source, wholeTexture);
    EXPECT_EQ(rec->draws[0].corners, quad(153.5, 51, 159.5, 103.5));
    EXPECT_EQ(rec->draws[0].alpha, 0.9f);
    EXPECT_EQ(rec->draws[1].corners, quad(157, 50.5, 163, 103));
    EXPECT_EQ(rec->draws[1].alpha, 0.05f);

    const std::vector<Rectangle> clips{Rectangle(88, 28, 137, 66), Rectangle(1, 2, 3, 4)};
    EXPECT_EQ(rec->clips, clips) << "clipped to the meter, then the window's clip put back";
}

TEST_F(Editor, NeedleTextureIsRebuiltOnlyWhenNeeded)
{
    meter->frameFinished();
    showAt(600);    // sx 0.4: still class 3
    meter->frameFinished();
    EXPECT_EQ(rec->texturesMade, 1) << "a size change within the class keeps the texture";

    showAt(375);    // sx 0.25: class 5
    meter->frameFinished();
    EXPECT_EQ(rec->texturesMade, 2);
    EXPECT_EQ(rec->texturesDeleted, 1);
    EXPECT_EQ(rec->lastTexture->getWidth(), 5) << "built for class 5";

    rec->lastTexture->valid = false;
    meter->frameFinished();
    EXPECT_EQ(rec->texturesMade, 3) << "an invalid texture is replaced";

    context.reset();    // the window's context goes first
    EXPECT_EQ(meter->getTexture(), nullptr);
    EXPECT_EQ(rec->texturesDeleted, 3) << "the dropped texture is freed, not leaked";
    context = std::make_unique<FakeContext>();
    rec = context->record;
    host.context = context.get();
    meter->frameFinished();
    EXPECT_EQ(rec->texturesMade, 1) << "rebuilt on the new context";
    EXPECT_EQ(rec->draws.size(), 2u);
}

TEST_F(Editor, DriveLedPicksTruncatedFrames)
{
    led->setFilmStrip(Image(43, 40 * 101, true), 101);
    const struct { float value; double top; const char* what; } cases[] = {
        {0.0f, 0, "silent"},
        {0.999f, 99 * 40, "just short of full clipping is frame 99"},
        {1.0f, 100 * 40, "only full clipping shows the last frame"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rec->draws.clear();
        led->setLevel(c.value);
        led->frameFinished();
        ASSERT_EQ(rec->draws.size(), 1u);
        const std::array<double, 4> source{0, c.top, 43, 40};
        EXPECT_EQ(rec->draws[0].source, source);
        EXPECT_EQ(rec->draws[0].corners, quad(336.5, 114, 358, 134)) << "mapped, not rounded";
        EXPECT_EQ(rec->draws[0].alpha, 1.0f);
    }
    EXPECT_EQ(rec->texturesMade, 1) << "the strip is uploaded once";
}
