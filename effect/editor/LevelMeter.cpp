#include "effect/editor/LevelMeter.h"

#include "framework/gui/Painter.h"

using namespace q9framework;

namespace {
// The needle's ink: an opaque dark grey, so the shadow copy drawn at 5 % reads as a faint offset line.
constexpr Colour needleColour(20, 20, 20, 255);
constexpr float needleAlpha = 0.9f;
constexpr float shadowAlpha = 0.05f;
} // namespace

LevelMeter::LevelMeter(Component* source) : scaleSource(source) {}

LevelMeter::~LevelMeter()
{
    texture.reset();
    if (listenedContext != nullptr)
        listenedContext->removeListener(this);
}

void LevelMeter::releaseResources()
{
    texture.reset();
}

void LevelMeter::renderingContextClosing(RenderingContext& context)
{
    if (&context != listenedContext)
        return;
    // The context cuts its textures loose before telling its listeners, so deleting ours only frees
    // memory and never reaches the GPU (dropping it without deleting would leak one per closed window).
    texture.reset();
    listenedContext = nullptr;
}

void LevelMeter::listenTo(RenderingContext& context)
{
    if (&context == listenedContext)
        return;
    // Another window's context: a texture made on the old one cannot be drawn on this one.
    texture.reset();
    if (listenedContext != nullptr)
        listenedContext->removeListener(this);
    listenedContext = &context;
    context.addListener(this);
}

void LevelMeter::buildTexture(RenderingContext& context)
{
    const int32_t textureHeight = 2 * getHeight();
    Image line(textureWidth, textureHeight, true, 16);
    {
        Painter painter(line);
        painter.fillRect(Rectangle((textureWidth - thickness) / 2, 0, thickness, textureHeight), needleColour,
                         false);
    }
    texture = context.createTextureFromImage(line, line.getBounds(), 1, false);
}

void LevelMeter::frameFinished()
{
    RenderingContext* context = findRenderingContext();
    if (context == nullptr)
        return;
    listenTo(*context);

    double sx = 0.0, sy = 0.0;
    if (!getPanelToWindowScale(scaleSource, sx, sy))
        return;

    const int k = MeterGeometry::scaleClass(sx);
    if (k != builtFactor) {
        texture.reset();
        builtFactor = k;
        const MeterGeometry::NeedleStyle style = MeterGeometry::needleStyle(k);
        thickness = style.thickness;
        textureWidth = style.textureWidth;
        buildTexture(*context);
    } else if (texture == nullptr || !texture->isValid()) {
        texture.reset();
        buildTexture(*context);
    }
    if (texture == nullptr)
        return;

    const MeterGeometry::Needle n = MeterGeometry::needleFor(getBounds(), position, {thickness, textureWidth});
    const MeterGeometry::Area needle = MeterGeometry::toWindow(n.needle, sx, sy);
    const MeterGeometry::Area shadow = MeterGeometry::toWindow(n.shadow, sx, sy);
    const Rectangle clip = MeterGeometry::roundedOutward(MeterGeometry::toWindow(getBounds(), sx, sy));

    const Rectangle savedClip = context->getClip();
    context->setClip(clip);

    // Both copies turn about the needle's own bottom centre, so the shadow swings with it.
    const double pivotX = needle.x + needle.width / 2, pivotY = needle.y + needle.height;
    const double source[4] = {0.0, 0.0, static_cast<double>(texture->getWidth()),
                              static_cast<double>(texture->getHeight())};
    double quad[8];
    MeterGeometry::rotatedCorners(needle, pivotX, pivotY, n.angle, quad);
    texture->draw(source, quad, needleAlpha);
    MeterGeometry::rotatedCorners(shadow, pivotX, pivotY, n.angle, quad);
    texture->draw(source, quad, shadowAlpha);

    context->setClip(savedClip);
}
