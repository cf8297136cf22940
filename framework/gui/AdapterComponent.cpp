#include "framework/gui/AdapterComponent.h"

#include "framework/gui/Painter.h"

#include <algorithm>
#include <cmath>

namespace q9framework {

namespace {

// How many destination pixels a change of one source pixel can reach through the resampling filter
// for scale s = source / destination size (the kernel length rule of Painter::drawImageTransformed).
int32_t filterReach(double s)
{
    int n = (static_cast<int>(4.0 * s) + 4) & ~1;
    n = std::clamp(n, 8, 32);
    return static_cast<int32_t>(std::ceil((n / 2) / s)) + 1;
}

} // namespace

AdapterComponent::AdapterComponent() : nested(nullptr)
{
    nested.setListener(this);
}

AdapterComponent::~AdapterComponent()
{
    if (content != nullptr)
        content->removeListener(this);
    content = nullptr;
    nested.setListener(nullptr);
    nested.setRoot(nullptr, false, true);
}

void AdapterComponent::setContent(Component* newContent)
{
    if (newContent == content)
        return;
    if (content != nullptr)
        content->removeListener(this);
    content = nullptr;
    nested.setRoot(newContent, true, true);
    if (nested.getRoot() != newContent)
        return;    // refused (it has a parent)
    content = newContent;
    if (content != nullptr)
        content->addListener(this);
    contentSizeChanged();
}

void AdapterComponent::contentSizeChanged()
{
    if (content == nullptr) {
        contentImage = Image();
        repaint();
        return;
    }
    const int32_t w = content->getWidth(), h = content->getHeight();
    if (contentImage.getWidth() != w || contentImage.getHeight() != h)
        contentImage = w > 0 && h > 0 ? Image(w, h, true) : Image();
    nested.setSize(w, h);
    nested.repaintAll();    // also when the size was already this one: the picture is new
    repaint();
}

Point AdapterComponent::toContent(Point p) const noexcept
{
    const int64_t w = getWidth(), h = getHeight();
    if (content == nullptr || w == 0 || h == 0)
        return p;
    return {static_cast<int32_t>(p.x * int64_t(content->getWidth()) / w),
            static_cast<int32_t>(p.y * int64_t(content->getHeight()) / h)};
}

Rectangle AdapterComponent::toAdapter(const Rectangle& area) const noexcept
{
    if (content == nullptr || content->getWidth() < 1 || content->getHeight() < 1)
        return {};
    const double sx = double(getWidth()) / content->getWidth();
    const double sy = double(getHeight()) / content->getHeight();
    int32_t left = static_cast<int32_t>(std::floor(area.x * sx));
    int32_t top = static_cast<int32_t>(std::floor(area.y * sy));
    int32_t right = static_cast<int32_t>(std::ceil((area.x + area.width) * sx));
    int32_t bottom = static_cast<int32_t>(std::ceil((area.y + area.height) * sy));
    // A resampled pixel mixes several content pixels, so a change spreads by the filter's reach.
    if (getWidth() != content->getWidth()) {
        const int32_t reach = filterReach(1.0 / sx);
        left -= reach;
        right += reach;
    }
    if (getHeight() != content->getHeight()) {
        const int32_t reach = filterReach(1.0 / sy);
        top -= reach;
        bottom += reach;
    }
    return Rectangle(left, top, right - left, bottom - top).getIntersection(Rectangle(0, 0, getWidth(), getHeight()));
}

void AdapterComponent::paint(Painter& painter)
{
    if (contentImage.isNull())
        return;
    // The first rectangle of a paint brings the content image up to date; later ones find nothing dirty.
    nested.paintDirtyRegion(contentImage.getPixels(), contentImage.getWidth(), contentImage.getHeight(),
                            contentImage.getStride(), true);
    if (contentImage.getWidth() == getWidth() && contentImage.getHeight() == getHeight()) {
        painter.drawImageAt(contentImage, Point(0, 0), true, 255);
        return;
    }
    if (getWidth() < 1 || getHeight() < 1)
        return;
    if (scaledImage.getWidth() != getWidth() || scaledImage.getHeight() != getHeight())
        scaledImage = Image(getWidth(), getHeight(), true);
    const Rectangle area = painter.getClip(true).getIntersection(Rectangle(0, 0, getWidth(), getHeight()));
    if (area.isEmpty())
        return;
    Painter::drawImageTransformed(scaledImage, contentImage, &area, 1, -1);
    painter.drawImage(scaledImage, area, area.getPosition(), true, 255);
}

Mouse::Cursor AdapterComponent::getMouseCursor()
{
    Component* under = nested.getRoot() != nullptr ? nested.getRoot()->getComponentAt(lastPosition) : nullptr;
    return under != nullptr ? under->getMouseCursor() : Mouse::Cursor(cursorArrow);
}

void AdapterComponent::forward(const MouseEvent& event, MouseEventType type, uint32_t button)
{
    lastPosition = toContent(event.position);
    nested.dispatchPointerEvent(0, type, lastPosition, button, event.clickCount, event.wheelX, event.wheelY);
}

void AdapterComponent::mouseMove(const MouseEvent& e) { forward(e, mouseEventMove, 0); }
void AdapterComponent::mouseDrag(const MouseEvent& e) { forward(e, mouseEventMove, mouseButtonLeft); }
void AdapterComponent::mouseDown(const MouseEvent& e) { forward(e, mouseEventDown, mouseButtonLeft); }
void AdapterComponent::mouseUp(const MouseEvent& e) { forward(e, mouseEventUp, mouseButtonLeft); }
void AdapterComponent::mouseEnter(const MouseEvent& e) { forward(e, mouseEventEntered, 0); }
void AdapterComponent::mouseExit(const MouseEvent& e) { forward(e, mouseEventExited, 0); }

bool AdapterComponent::mouseWheel(const MouseEvent& e)
{
    forward(e, mouseEventWheel, 0);
    return true;
}

void AdapterComponent::update()
{
    if (content == nullptr)
        return;
    nested.setHost(getHost());
    nested.broadcastUpdate();
}

void AdapterComponent::areaInvalidated(const Rectangle& area)
{
    const Rectangle local = toAdapter(area);
    ComponentsContainer* outer = getContainer();
    if (local.isEmpty() || outer == nullptr)
        return;
    const Point origin = getPositionInRoot(false).getPosition();
    outer->invalidate(local.translated(origin.x, origin.y));
}

void AdapterComponent::areaMoved(const Rectangle& source, const Rectangle& destination)
{
    // The nested container's "screen" is the content image: move its pixels there. The destination is
    // reported invalid right after, which repaints the adapter's scaled picture of it.
    const Rectangle image = contentImage.getBounds();
    const Rectangle src = source.getIntersection(image);
    const Point shift = destination.getPosition() - source.getPosition();
    const Rectangle dst = src.translated(shift.x, shift.y).getIntersection(image);
    if (dst.isEmpty())
        return;
    contentImage.moveRect(dst.translated(-shift.x, -shift.y), dst.getPosition());
}

void AdapterComponent::areaMovedOnScreen(const Rectangle& source, const Rectangle& destination)
{
    areaMoved(source, destination);
}

void AdapterComponent::componentResized(Component& c)
{
    if (&c == content)
        contentSizeChanged();
}

void AdapterComponent::componentBeingDeleted(Component& c)
{
    if (&c == content) {
        content = nullptr;
        contentImage = Image();
    }
}

} // namespace q9framework
