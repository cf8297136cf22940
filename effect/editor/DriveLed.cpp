#include "effect/editor/DriveLed.h"

#include "effect/editor/MeterGeometry.h"

using namespace q9framework;

DriveLed::DriveLed(Component* source) : scaleSource(source) {}

DriveLed::~DriveLed()
{
    texture.reset();
    if (listenedContext != nullptr)
        listenedContext->removeListener(this);
}

void DriveLed::setFilmStrip(const Image& newStrip, int numFrames)
{
    strip = newStrip;
    frames = numFrames;
    texture.reset();
}

int DriveLed::frameIndexFor(float v, int numFrames) noexcept
{
    if (numFrames < 1 || !(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return numFrames - 1;
    return static_cast<int>(v * static_cast<float>(numFrames - 1));
}

void DriveLed::releaseResources()
{
    texture.reset();
}

void DriveLed::renderingContextClosing(RenderingContext& context)
{
    if (&context != listenedContext)
        return;
    // The context cuts its textures loose before telling its listeners, so deleting ours only frees
    // memory and never reaches the GPU.
    texture.reset();
    listenedContext = nullptr;
}

void DriveLed::listenTo(RenderingContext& context)
{
    if (&context == listenedContext)
        return;
    texture.reset();
    if (listenedContext != nullptr)
        listenedContext->removeListener(this);
    listenedContext = &context;
    context.addListener(this);
}

void DriveLed::frameFinished()
{
    RenderingContext* context = findRenderingContext();
    if (context == nullptr)
        return;
    listenTo(*context);

    if (texture == nullptr && frames >= 1)
        texture = context->createTextureFromImage(strip, strip.getBounds(), 1, false);
    if (texture == nullptr || frames < 1)
        return;

    double sx = 0.0, sy = 0.0;
    if (!getPanelToWindowScale(scaleSource, sx, sy))
        return;

    const int32_t frameHeight = strip.getHeight() / frames;
    const int index = frameIndexFor(value, frames);
    const double source[4] = {0.0, static_cast<double>(index) * frameHeight, static_cast<double>(strip.getWidth()),
                              static_cast<double>(frameHeight)};
    double quad[8];
    MeterGeometry::corners(MeterGeometry::toWindow(getBounds(), sx, sy), quad);
    texture->draw(source, quad, 1.0f);
}
