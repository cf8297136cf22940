#pragma once
#include "framework/gui/Array.h"
#include "framework/gui/Component.h"
#include "framework/gui/Texture.h"
#include "framework/resources/Image.h"

#include <memory>

namespace q9framework {

class RenderingContext;

/** A component that shows one frame of a vertical film strip: frames of equal height stacked top to
    bottom in one image, the frame chosen by a normalised position 0..1 (0 the first frame, 1 the last).
    Knobs, toggles and the effect's indicators are film strips cut from the artwork.

    A strip taller than the GPU's largest texture can be split into slices that are uploaded as
    textures of their own (setFilmStripSliced); a split strip is drawn by the subclass, not by paint.
    An opaque film-strip component draws its frames without blending. Main thread only. */
class AnimatableComponent : public Component {
public:
    AnimatableComponent();
    ~AnimatableComponent() override;

    /** A null image sets frames to 0 and releases the strip; otherwise the strip and its frame count
        (frameHeight = image height / frames, 0 without frames). Ends a split strip. */
    void setFilmStrip(const Image& strip, int frames);
    /** Splits a strip into textures of at most the context's maximum texture size, whole frames each,
        in order. False (nothing changes) for a null image, frames < 1, or frames taller than the
        maximum texture size. */
    bool setFilmStripSliced(RenderingContext& context, const Image& strip, int frames);
    const Image& getFilmStrip() const noexcept { return strip; }
    int getNumFrames() const noexcept { return frames; }
    int32_t getFrameHeight() const noexcept { return frameHeight; }
    bool isSplit() const noexcept { return split; }
    int getFramesPerSlice() const noexcept { return framesPerSlice; }
    int getNumSlices() const noexcept { return slices.size(); }
    /** The slice textures of a split strip, top to bottom; null for a bad index. */
    Texture* getSlice(int index) const noexcept { return index >= 0 && index < slices.size() ? slices[index] : nullptr; }

    /** value is clamped to 0..1 and stored as float; with notify (and a strip that is not split), repaints. */
    void setPosition(bool notify, double value);
    float getPosition() const noexcept { return position; }
    /** (int) ((frames - 1) · position + 0.5): the frame shown. */
    int getFrameIndex() const noexcept;
    /** Where the frame is drawn relative to the bounds: at (-offset.x, -offset.y). Repaints. */
    void setImageOffset(Point offset);
    Point getImageOffset() const noexcept { return imageOffset; }

    /** The current frame at (-offset), blended unless opaque. Nothing for a split strip. */
    void paint(Painter& painter) override;
    /** With frames: (x - offset.x, y - offset.y, strip width, frame height); otherwise the bounds grown
        by the paint margin. */
    Rectangle getPaintBounds() override;

protected:
    Image strip;
    int frames = 0;
    int32_t frameHeight = 0;
    float position = 0.0f;
    Point imageOffset;
    bool split = false;
    int framesPerSlice = 0;
    Array<Texture*> slices;    // owned

private:
    void releaseSlices() noexcept;
};

} // namespace q9framework
