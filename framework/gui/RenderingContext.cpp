#include "framework/gui/RenderingContext.h"
#include "framework/gui/Texture.h"

#include <algorithm>

namespace q9framework {

RenderingContext::~RenderingContext()
{
    // A listener may remove itself while being told; work on a copy.
    const std::vector<Listener*> toTell = listeners;
    for (Listener* l : toTell)
        l->renderingContextClosing(*this);
}

std::unique_ptr<Texture> RenderingContext::createTextureFromImage(const Image& image, Rectangle source,
                                                                  int32_t format, bool unpremultiply)
{
    const Rectangle area = source.getIntersection({0, 0, image.getWidth(), image.getHeight()});
    if (image.isNull() || area.isEmpty())
        return nullptr;
    std::unique_ptr<Texture> texture = createTexture(area.width, area.height, 0, format);
    if (!texture)
        return nullptr;
    // The texture starts at the rectangle's corner: upload from a window onto that part of the image.
    const Image part(image.getPixelPointer(area.x, area.y), area.width, area.height, image.getStride(), true);
    const Rectangle whole(0, 0, area.width, area.height);
    texture->upload(part, &whole, 1, unpremultiply);
    return texture;
}

void RenderingContext::fillRect(Rectangle r, Colour colour)
{
    const Colour corners[4] = {colour, colour, colour, colour};
    fillRectCorners(r, corners);
}

void RenderingContext::drawRect(Rectangle r, Colour colour)
{
    const Colour corners[4] = {colour, colour, colour, colour};
    drawRectOutline(r, corners);
}

void RenderingContext::addListener(Listener* listener)
{
    if (listener != nullptr && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void RenderingContext::removeListener(Listener* listener)
{
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

} // namespace q9framework
