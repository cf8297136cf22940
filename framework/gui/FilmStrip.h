#pragma once
#include "framework/core/Colour.h"
#include "framework/core/String.h"
#include "framework/resources/Image.h"

#include <cstdint>
#include <functional>

namespace q9framework {

class LookAndFeel;
class Painter;

/** Film strips drawn by the program itself rather than cut from artwork: for galleries, tests and
    placeholders. A strip is the frames stacked top to bottom in one image, as AnimatableComponent
    (and the controls built on it) expect.

    Frame i of n is drawn at position i / (n - 1) (a single frame at 0), so the first frame is what a
    control shows at 0 and the last what it shows at 1. Each frame is drawn by a Painter whose origin
    is the frame's top-left corner and whose clip is the frame, on transparent black (the painter writes
    premultiplied pixels, as the toolkit's images hold them). Main thread (fonts); nothing throws. */
namespace FilmStrip {

/** Calls drawFrame(painter, position) once per frame. A null image for frames < 1 or a frame size
    below 1 x 1. The painter carries no font unless drawFrame selects one. */
Image render(int frames, int32_t frameWidth, int32_t frameHeight,
             const std::function<void(Painter& painter, double position)>& drawFrame);

/** A knob strip in `look`'s drawing (LookAndFeel::drawKnob) with the disc in `colour`. */
Image renderKnob(LookAndFeel& look, int frames, int32_t frameWidth, int32_t frameHeight, Colour colour);

/** A toggle strip in `look`'s drawing (LookAndFeel::drawToggleButton): frames before the middle show
    it off, the rest on; the text in the look's default font. */
Image renderToggle(LookAndFeel& look, int frames, int32_t frameWidth, int32_t frameHeight, const String& text);

} // namespace FilmStrip
} // namespace q9framework
