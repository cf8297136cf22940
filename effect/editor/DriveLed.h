#pragma once
#include "effect/editor/ComponentEx.h"
#include "framework/gui/RenderingContext.h"
#include "framework/gui/Texture.h"
#include "framework/resources/Image.h"

#include <memory>

/** The drive indicator of the effect's panel: one frame of a film strip (frames stacked vertically, the
    panel's "satled.png" with 101 frames, dark to full red) chosen by how hard the drive stage clipped
    since the previous tick. Like LevelMeter it paints nothing: the panel stores the value each tick (the
    square of the engine's saturation peak, so small peaks stay near the dark end) and the panel's
    frameFinished calls this one, which draws the frame straight through the window's rendering context.

    Drawing (frameFinished): without a rendering context nothing happens; otherwise the indicator
    listens to that context, uploads the whole strip once as one texture (when it has none and frames
    >= 1), and draws frame trunc(value × (frames − 1)) (truncated in single precision, not rounded:
    0.999 of 101 frames is frame 99, only 1.0 reaches frame 100) into its bounds mapped to window
    pixels, unrounded, alpha 1, unrotated. A value outside 0..1 (or NaN) shows the nearest end frame.
    An empty strip or no frames draw nothing.

    Ownership: owns its texture; scaleSource (the panel's AdapterComponent) is borrowed and must outlive
    it. The strip is a shared image handle. Main thread only. */
class DriveLed : public ComponentEx, public q9framework::RenderingContext::Listener {
public:
    /** Value 0, no strip, no frames. The panel then sets the bounds and the strip. */
    explicit DriveLed(q9framework::Component* scaleSource);
    ~DriveLed() override;

    /** The film strip and its frame count (101 in the panel); a strip already on the GPU is dropped and
        uploaded again on the next frame. */
    void setFilmStrip(const q9framework::Image& strip, int frames);

    /** 0..1, stored as is for the next frame (nothing is smoothed: the peak is collected per tick). */
    void setLevel(float newValue) noexcept { value = newValue; }

    /** The frame a value shows among `frames`: trunc(value × (frames − 1)) in single precision, limited
        to 0..frames − 1; 0 without frames. */
    static int frameIndexFor(float value, int frames) noexcept;

    /** Draws the current frame (above). */
    void frameFinished() override;
    /** Deletes the strip's texture; the next frame uploads it again. */
    void releaseResources() override;
    /** The context goes with its textures: the indicator forgets its own and uploads again on the next
        frame that finds a context. */
    void renderingContextClosing(q9framework::RenderingContext& context) override;

private:
    void listenTo(q9framework::RenderingContext& context);

    float value = 0.0f;
    int frames = 0;
    q9framework::Image strip;
    std::unique_ptr<q9framework::Texture> texture;
    q9framework::Component* scaleSource;
    // The context we listen to and uploaded the strip on; cleared when it says it is closing.
    q9framework::RenderingContext* listenedContext = nullptr;
};
