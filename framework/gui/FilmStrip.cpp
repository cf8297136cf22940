#include "framework/gui/FilmStrip.h"

#include "framework/gui/Knob.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

namespace q9framework {
namespace FilmStrip {

Image render(int frames, int32_t frameWidth, int32_t frameHeight,
             const std::function<void(Painter&, double)>& drawFrame)
{
    if (frames < 1 || frameWidth < 1 || frameHeight < 1 || frameHeight > INT32_MAX / frames)
        return Image();
    Image strip(frameWidth, frameHeight * frames, true);
    if (strip.isNull())
        return strip;
    Painter painter(strip);
    for (int i = 0; i < frames; ++i) {
        painter.saveState();
        painter.addOrigin(0, i * frameHeight);
        painter.setClip(Rectangle(0, 0, frameWidth, frameHeight), true);
        drawFrame(painter, frames > 1 ? double(i) / double(frames - 1) : 0.0);
        painter.restoreState();
    }
    return strip;
}

Image renderKnob(LookAndFeel& look, int frames, int32_t frameWidth, int32_t frameHeight, Colour colour)
{
    Knob knob;
    knob.setBounds(Rectangle(0, 0, frameWidth, frameHeight), false);
    return render(frames, frameWidth, frameHeight, [&](Painter& painter, double position) {
        knob.setValue(false, position);
        look.drawKnob(painter, knob, Rectangle(0, 0, frameWidth, frameHeight), true, colour);
    });
}

Image renderToggle(LookAndFeel& look, int frames, int32_t frameWidth, int32_t frameHeight, const String& text)
{
    const Font font = look.getDefaultFont();
    return render(frames, frameWidth, frameHeight, [&](Painter& painter, double position) {
        painter.setFont(font);
        look.drawToggleButton(painter, Rectangle(0, 0, frameWidth, frameHeight), true, false, position >= 0.5,
                              text, 0);
    });
}

} // namespace FilmStrip
} // namespace q9framework
