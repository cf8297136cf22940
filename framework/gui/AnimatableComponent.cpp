#include "framework/gui/AnimatableComponent.h"

#include "framework/gui/Painter.h"
#include "framework/gui/RenderingContext.h"

#include <algorithm>

namespace q9framework {

AnimatableComponent::AnimatableComponent() = default;

AnimatableComponent::~AnimatableComponent()
{
    releaseSlices();
}

void AnimatableComponent::releaseSlices() noexcept
{
    for (Texture* t : slices)
        delete t;
    slices.clear();
    split = false;
    framesPerSlice = 0;
}

void AnimatableComponent::setFilmStrip(const Image& newStrip, int numFrames)
{
    releaseSlices();
    if (newStrip.isNull()) {
        frames = 0;
        frameHeight = 0;
        strip = Image();
        return;
    }
    frames = std::max(0, numFrames);
    frameHeight = frames > 0 ? newStrip.getHeight() / frames : 0;
    strip = newStrip;
}

bool AnimatableComponent::setFilmStripSliced(RenderingContext& context, const Image& newStrip, int numFrames)
{
    if (newStrip.isNull() || numFrames < 1)
        return false;
    const int32_t height = newStrip.getHeight() / numFrames;
    const int32_t maximum = context.getMaximumTextureSize();
    if (height < 1 || maximum < height)
        return false;
    releaseSlices();
    strip = newStrip;
    frames = numFrames;
    frameHeight = height;
    framesPerSlice = maximum / frameHeight;
    const int count = (frames + framesPerSlice - 1) / framesPerSlice;
    for (int s = 0; s < count; ++s) {
        const int first = s * framesPerSlice;
        const int inSlice = std::min(framesPerSlice, frames - first);
        const Rectangle area(0, first * frameHeight, strip.getWidth(), inSlice * frameHeight);
        slices.add(context.createTextureFromImage(strip, area, 1, false).release());
    }
    split = true;
    return true;
}

void AnimatableComponent::setPosition(bool notify, double value)
{
    if (!(value >= 0.0))    // negative (and NaN) become 0
        value = 0.0;
    else if (value > 1.0)
        value = 1.0;
    position = static_cast<float>(value);
    if (notify && !split)
        repaint();
}

int AnimatableComponent::getFrameIndex() const noexcept
{
    return static_cast<int>((frames - 1) * position + 0.5);
}

void AnimatableComponent::setImageOffset(Point offset)
{
    imageOffset = offset;
    repaint();
}

void AnimatableComponent::paint(Painter& painter)
{
    if (split || strip.isNull())
        return;
    const int32_t sourceHeight = frames == 0 ? getHeight() : frameHeight;
    const Rectangle source(0, getFrameIndex() * frameHeight, strip.getWidth(), sourceHeight);
    painter.drawImage(strip, source, Point(-imageOffset.x, -imageOffset.y), !isOpaque(), 255);
}

Rectangle AnimatableComponent::getPaintBounds()
{
    if (frames >= 1)
        return {getX() - imageOffset.x, getY() - imageOffset.y, strip.getWidth(), frameHeight};
    return Component::getPaintBounds();
}

} // namespace q9framework
