#include "ControlTree.h"

#include "framework/core/DeletedAtShutdown.h"
#include "framework/core/FrameworkInitialiser.h"
#include "framework/gui/FilmStrip.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/Knob.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <cmath>
#include <cstring>

using namespace q9test;

namespace {

uint32_t pixel(const Image& image, int x, int y)
{
    uint32_t word;
    std::memcpy(&word, image.getPixelPointer(x, y), 4);
    return word;
}

constexpr uint32_t discColour = 0xff80f5ff;    // the knob's colour when it has no colour 0

} // namespace

TEST(LookAndFeelDrawing, KnobPointerSweeps270DegreesClockwise)
{
    // A 61 x 61 knob; probe 20 pixels from the centre in the pointer's direction and elsewhere.
    const struct {
        double value;
        double pointerDegrees;
        double clearDegrees[2];
    } cases[] = {
        {0.0, 225.0, {315.0, 90.0}},    // lower left; lower right and top are disc
        {1.0, -45.0, {225.0, 90.0}},    // lower right
    };
    LookAndFeel look;
    Knob knob;
    knob.setBounds(Rectangle(0, 0, 61, 61), false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        knob.setValue(false, c.value);
        Image image(61, 61, true);
        Painter painter(image);
        look.drawKnob(painter, knob, Rectangle(0, 0, 61, 61), true, Colour::fromARGB(discColour));
        auto at = [&](double degrees) {
            const double a = degrees * M_PI / 180.0;
            return pixel(image, int(30.5 + 20 * std::cos(a)), int(30.5 - 20 * std::sin(a)));
        };
        EXPECT_EQ(at(c.pointerDegrees) & 0xffffff, 0u) << "the black pointer";
        for (double d : c.clearDegrees)
            EXPECT_EQ(at(d), discColour) << d << " degrees";
    }
}

TEST(LookAndFeelLifetime, ReplacedDefaultIsDestroyedAndTheFrameworkStopTakesItBeforeTheShutdownObjects)
{
    static int destroyed = 0;
    struct Counted : public LookAndFeel {
        ~Counted() override { ++destroyed; }
    };
    setDefaultLookAndFeel(new Counted());
    setDefaultLookAndFeel(new Counted());
    EXPECT_EQ(destroyed, 1);

    struct Witness : public DeletedAtShutdown {
        int* seen;
        explicit Witness(int* s) : seen(s) {}
        ~Witness() override { *seen = destroyed; }
    };
    int destroyedWhenShutdownObjectsWent = -1;
    installGuiServices();
    {
        FrameworkInitialiser services;
        new Witness(&destroyedWhenShutdownObjectsWent);
    }
    FrameworkInitialiser::installServices({});
    EXPECT_EQ(destroyedWhenShutdownObjectsWent, 2) << "the default went first";
    EXPECT_EQ(getDefaultLookAndFeel().getMetric(2), 30) << "a plain default is made again on request";
}
