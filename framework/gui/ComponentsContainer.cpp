#include "framework/gui/ComponentsContainer.h"

#include "framework/gui/ComponentsHost.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

namespace q9framework {

namespace {

// Keys held down, shared by every container of the process: modifier state belongs to the keyboard,
// not to one window.
Array<KeyCode>& heldKeys()
{
    static Array<KeyCode> keys;
    return keys;
}

} // namespace

ComponentsContainer::ComponentsContainer(ComponentsHost* hostWindow) : host(hostWindow) {}

ComponentsContainer::~ComponentsContainer()
{
    if (root != nullptr) {
        Component* r = root;
        root = nullptr;
        r->container = nullptr;
        delete r;
    }
}

//==================================================================================================
// Root, size, host

void ComponentsContainer::setRoot(Component* newRoot, bool makeVisible, bool deletePrevious)
{
    if (newRoot != nullptr && newRoot->parent != nullptr)
        return;
    if (newRoot != root) {
        if (newRoot != nullptr && newRoot->container != nullptr)
            newRoot->container->setRoot(nullptr, false, false);
        if (Component* previous = root) {
            previous->forgetSubtree();
            previous->container = nullptr;
            root = nullptr;
            if (deletePrevious)
                delete previous;
        }
        root = newRoot;
        if (root != nullptr)
            root->container = this;
    }
    if (root == nullptr)
        return;
    if (makeVisible)
        root->setVisible(true);
    if (backingScale != 1.0)
        root->scaleChanged(backingScale);
}

void ComponentsContainer::setSize(int32_t newWidth, int32_t newHeight)
{
    if (newWidth == width && newHeight == height)
        return;
    width = newWidth;
    height = newHeight;
    if (root != nullptr)
        root->setSize(newWidth, newHeight);
    invalidate(Rectangle(0, 0, width, height));
}

void ComponentsContainer::setBackingScale(double scale)
{
    if (scale == backingScale)
        return;
    backingScale = scale;
    if (root != nullptr)
        root->scaleChanged(scale);
}

//==================================================================================================
// Regions and painting

void ComponentsContainer::invalidate(const Rectangle& rect)
{
    const Rectangle clipped = rect.getIntersection(Rectangle(0, 0, width, height));
    if (!clipped.isEmpty()) {
        dirty.add(clipped);
        changed.add(clipped);
    }
    if (listener != nullptr)
        listener->areaInvalidated(rect);
}

void ComponentsContainer::repaintAll()
{
    invalidate(Rectangle(0, 0, width, height));
}

void ComponentsContainer::moveArea(const Rectangle& area, int32_t dx, int32_t dy)
{
    dirty.moveArea(area, dx, dy);
    const Rectangle overlap = area.getIntersection(area.translated(dx, dy));
    const Rectangle source = overlap.translated(-dx, -dy);
    movedRegion.clear();
    movedRegion.add(area);
    movedRegion.subtract(overlap);
    movedRects.clear();
    movedRegion.toRectangles(movedRects);
    if (noAreaCopy) {
        if (listener != nullptr)
            listener->areaMovedOnScreen(source, overlap);
        for (int i = 0; i < movedRects.size(); ++i)
            invalidate(movedRects[i]);
        return;
    }
    for (int i = 0; i < movedRects.size(); ++i)
        invalidate(movedRects[i]);
    if (listener != nullptr) {
        if (!overlap.isEmpty())
            listener->areaMoved(source, overlap);
        listener->areaInvalidated(area);
    }
    // Copied rather than repainted: to be presented, not painted.
    changed.add(area);
}

void ComponentsContainer::paintDirtyRegion(uint8_t* pixels, int32_t bufferWidth, int32_t bufferHeight,
                                           int32_t strideBytes, bool clearAfter)
{
    if (dirty.isEmpty())
        return;
    if (root != nullptr) {
        Painter painter(pixels, bufferWidth, bufferHeight, strideBytes);
        painter.setScale(backingScale);
        occluders.clear();
        int32_t counter = 0;
        numberComponents(*root, Point(), root->bounds, counter);
        const Rectangle all(0, 0, width, height);
        paintComponent(*root, painter, all, false);
        paintComponent(*root, painter, all, true);
    }
    if (clearAfter)
        clearRegions();
}

void ComponentsContainer::numberComponents(Component& c, Point origin, Rectangle clip, int32_t& counter)
{
    if (!c.isVisible())
        return;
    c.paintOrder = counter++;
    if (c.isOpaque())
        occluders.add(Occluder{c.paintOrder, &c});
    if (c.getClipsChildren())
        clip = clip.getIntersection(c.bounds.translated(origin.x, origin.y));
    c.visibleRect = c.getPaintBounds().translated(origin.x, origin.y).getIntersection(clip);
    const Point childOrigin = origin + c.getPosition();
    for (Component* child : c.children)
        numberComponents(*child, childOrigin, clip, counter);
}

void ComponentsContainer::paintComponent(Component& c, Painter& painter, Rectangle clip, bool pass)
{
    if (!c.isVisible())
        return;
    const Rectangle r = c.visibleRect.getIntersection(clip);
    if (r.isEmpty())
        return;    // culled with its whole subtree
    painter.addOrigin(c.bounds.x, c.bounds.y);
    bool childPass = pass;
    if (c.isAlwaysOnTop() == pass) {
        dirty.intersectInto(r, scratchRegion);
        // Opaque components painted later cover this area: do not paint it twice.
        for (int i = 0; i < occluders.size() && !scratchRegion.isEmpty(); ++i)
            if (occluders[i].order > c.paintOrder)
                scratchRegion.subtract(occluders[i].component->visibleRect.getIntersection(clip));
        paintRects.clear();
        scratchRegion.toRectangles(paintRects);
        if (!paintRects.isEmpty()) {
            LookAndFeel& lf = c.getLookAndFeel();
            const Font font = lf.getDefaultFont();
            const double fontHeight = lf.getDefaultFontHeight() * painter.getScale();
            for (int i = 0; i < paintRects.size(); ++i) {
                painter.setClip(paintRects[i], false);
                painter.setFont(font);
                painter.setFontHeight(static_cast<float>(fontHeight));
                paintOne(c, painter);
            }
        }
        childPass = false;
    }
    const Rectangle childClip = c.getClipsChildren() ? r : clip;
    for (int i = 0; i < c.children.size(); ++i)
        paintComponent(*c.children[i], painter, childClip, childPass);
    painter.addOrigin(-c.bounds.x, -c.bounds.y);
}

void ComponentsContainer::paintOne(Component& c, Painter& painter)
{
    if (c.getCachedPainting())
        c.paintWithCache(painter);
    else
        c.paint(painter);
}

RectangleList ComponentsContainer::getChangedArea() const
{
    RectangleList result;
    if (root != nullptr)
        changed.intersectInto(Rectangle(0, 0, root->getWidth(), root->getHeight()), result);
    return result;
}

void ComponentsContainer::clearRegions() noexcept
{
    dirty.clear();
    changed.clear();
}

//==================================================================================================
// Pointer events

const ComponentsContainer::PointerRecord* ComponentsContainer::getPointer(int pointer) const noexcept
{
    return pointer >= 0 && pointer < numPointers ? &pointers[pointer] : nullptr;
}

void ComponentsContainer::setRestrictTo(const Array<Component*>& components)
{
    restrictTo.clear();
    for (Component* c : components)
        if (c != nullptr)
            restrictTo.add(c);
}

Point ComponentsContainer::positionInRoot(const Component* c) const
{
    return c->getPositionInRoot(false).getPosition();
}

void ComponentsContainer::exitSequence(PointerRecord& r, Component* c)
{
    c->mouseOver = false;
    if (c->repaintOnHover)
        c->repaint();
    if (r.hovered == c)    // not forgotten by the repaint
        c->mouseExit(r.event);
    if (r.hovered == c) {
        r.previousHovered = c;
        r.hovered = nullptr;
    }
}

void ComponentsContainer::enterSequence(PointerRecord& r, Component* c)
{
    r.hovered = c;
    c->mouseOver = true;
    if (c->repaintOnHover)
        c->repaint();
    if (r.hovered == c)
        c->mouseEnter(r.event);
}

Component* ComponentsContainer::findDragTarget(Component* c)
{
    for (; c != nullptr; c = c->parent)
        if (c->isDragTarget())
            return c;
    return nullptr;
}

void ComponentsContainer::dispatchPointerEvent(int pointer, MouseEventType type, Point p, uint32_t button,
                                               int clickCount, float wheelX, float wheelY)
{
    if (pointer < 0 || pointer >= numPointers)
        return;
    PointerRecord& r = pointers[pointer];

    if (type == mouseEventExited) {
        for (PointerRecord& each : pointers)
            if (each.hovered != nullptr && (each.buttonsHeld == 0 || each.captured == nullptr))
                exitSequence(each, each.hovered);
        return;
    }

    Component* hit = root != nullptr ? root->getComponentAt(p) : nullptr;
    if (!restrictTo.isEmpty() && !restrictTo.contains(hit)) {
        showCursor(Mouse::Cursor(cursorDragRefused));
        return;
    }

    Component* target = r.buttonsHeld != 0 && r.captured != nullptr ? r.captured : hit;
    r.event.position = target != nullptr ? p - positionInRoot(target) : p;
    const Point hostOrigin = host != nullptr ? host->getScreenPosition() : Point();
    const Point screen = hostOrigin + (root != nullptr ? root->getPosition() : Point()) + p;
    r.event.delta = type == mouseEventDown ? Point() : screen - r.event.screenPosition;
    r.event.screenPosition = screen;
    if (type == mouseEventDown) {
        r.event.clickCount = clickCount;
        r.event.button = button;
    }
    r.event.wheelX = wheelX;
    r.event.wheelY = wheelY;

    // Moves the hover to whatever is under p now (exit first, then enter).
    auto moveHover = [&](Component* under) {
        if (under == r.hovered)
            return under;
        if (r.hovered != nullptr) {
            exitSequence(r, r.hovered);
            under = root != nullptr ? root->getComponentAt(p) : nullptr;    // the exit may change the tree
        }
        if (under != nullptr) {
            r.event.position = p - positionInRoot(under);
            enterSequence(r, under);
        }
        return under;
    };

    if (r.buttonsHeld == 0) {
        hit = moveHover(hit);
        r.event.downPosition = r.event.position;
        r.event.downScreenPosition = r.event.screenPosition;
    }

    switch (type) {
    case mouseEventWheel:
        for (Component* c = r.hovered; c != nullptr; c = c->parent) {
            if (c->mouseWheel(r.event))
                break;
            r.event.position = r.event.position + c->getPosition();
        }
        break;

    case mouseEventDown: {
        if (Component* popup = activePopup) {
            activePopup = nullptr;
            popup->mouseDownAnywhere(hit);
            hit = root != nullptr ? root->getComponentAt(p) : nullptr;    // the popup may have closed
        }
        if (r.buttonsHeld == 0)
            r.captured = hit;
        if ((r.buttonsHeld & button) == 0 || clickCount >= 2) {
            r.buttonsHeld |= button;
            if (Component* c = r.hovered) {
                // Each step may remove c; forget() then clears r.hovered and the sequence stops.
                ++c->buttonsDownCount;
                if (c->parent != nullptr)
                    c->parent->childMouseDown(c, r.event);
                if (r.hovered == c && c->repaintOnPress)
                    c->repaint();
                if (r.hovered == c)
                    c->mouseDown(r.event);
                if (r.hovered == c)
                    c->listeners.call([&](Component::Listener& l) { l.componentMouseDown(*c, r.event); });
            }
        }
        break;
    }

    case mouseEventMove:
        if (dragSource != nullptr && hit != nullptr) {
            if (Component* t = findDragTarget(hit)) {
                const bool interested =
                    t->isInterestedInDrag(dragSource, hit, dragPayload, p - positionInRoot(t));
                showCursor(Mouse::Cursor(interested ? cursorDragCopy : cursorDragRefused));
            }
        }
        if (Component* c = r.hovered) {
            const bool dragging = r.buttonsHeld != 0;
            if (c->parent != nullptr) {
                if (dragging)
                    c->parent->childMouseDrag(c, r.event);
                else
                    c->parent->childMouseMove(c, r.event);
            }
            if (r.hovered == c && c->repaintOnMove)
                c->repaint();
            if (r.hovered == c) {
                if (dragging)
                    c->mouseDrag(r.event);
                else
                    c->mouseMove(r.event);
            }
        }
        break;

    case mouseEventUp:
        if ((r.buttonsHeld & button) != 0) {
            r.buttonsHeld &= ~button;
            if (Component* c = r.hovered) {
                --c->buttonsDownCount;
                if (c->repaintOnPress)
                    c->repaint();
                if (r.hovered == c)
                    c->listeners.call([&](Component::Listener& l) { l.componentMouseUp(*c, r.event); });
                if (r.hovered == c && c->parent != nullptr)
                    c->parent->childMouseUp(c, r.event);
                if (r.hovered == c)
                    c->mouseUp(r.event);
            }
            if (r.buttonsHeld == 0)
                hit = moveHover(root != nullptr ? root->getComponentAt(p) : nullptr);
        }
        if (r.buttonsHeld == 0 && dragSource != nullptr) {
            Component* source = dragSource;
            const uint64_t payload = dragPayload;
            dragSource = nullptr;
            dragPayload = 0;
            dragCursor = Mouse::Cursor();
            if (hit != nullptr) {
                if (Component* t = findDragTarget(hit)) {
                    const Point local = p - positionInRoot(t);
                    if (t->isInterestedInDrag(source, hit, payload, local))
                        t->itemDropped(source, hit, payload, local);
                }
                // The drop handlers may have removed it; only a component still under p gives the cursor.
                if (Component* now = root != nullptr ? root->getComponentAt(p) : nullptr)
                    showCursor(now->getMouseCursor());
            }
        }
        break;

    default:
        break;
    }

    if (dragSource == nullptr && r.hovered != nullptr)
        showCursor(r.hovered->getMouseCursor());
}

//==================================================================================================
// Keys and files

bool ComponentsContainer::isKeyHeld(KeyCode key)
{
    return heldKeys().contains(key);
}

bool ComponentsContainer::keyDown(KeyCode key, int32_t hardwareCode)
{
    if (!heldKeys().contains(key))
        heldKeys().add(key);
    const KeyEvent event{key, hardwareCode};
    if (root != nullptr && root->keyPressedFirst(event))
        return true;
    for (Component* c = focused; c != nullptr; c = c->parent)
        if (c->keyPressed(event))
            return true;
    return false;
}

bool ComponentsContainer::keyUp(KeyCode key, int32_t hardwareCode)
{
    heldKeys().removeFirstMatching(key);
    const KeyEvent event{key, hardwareCode};
    if (root != nullptr && root->keyReleasedFirst(event))
        return true;
    for (Component* c = focused; c != nullptr; c = c->parent)
        if (c->keyReleased(event))
            return true;
    return false;
}

bool ComponentsContainer::isInterestedInFiles(Point p, const FileList& files)
{
    for (Component* c = root != nullptr ? root->getComponentAt(p) : nullptr; c != nullptr; c = c->parent)
        if (c->isInterestedInFiles(p - positionInRoot(c), files))
            return true;
    return false;
}

bool ComponentsContainer::filesDropped(Point p, const FileList& files)
{
    for (Component* c = root != nullptr ? root->getComponentAt(p) : nullptr; c != nullptr; c = c->parent) {
        const Point local = p - positionInRoot(c);
        if (c->isInterestedInFiles(local, files) && c->filesDropped(local, files))
            return true;
    }
    return false;
}

//==================================================================================================
// Ticks and frames

namespace {
void updateVisible(Component& c)
{
    if (!c.isVisible())
        return;
    c.update();
    for (int i = 0; i < c.getNumChildren(); ++i)
        updateVisible(*c.getChild(i));
}
} // namespace

void ComponentsContainer::broadcastUpdate()
{
    if (root != nullptr)
        updateVisible(*root);
}

void ComponentsContainer::frameStarting(int argument)
{
    if (root != nullptr)
        root->frameStarting(argument);
}

void ComponentsContainer::frameFinished()
{
    if (root != nullptr)
        root->frameFinished();
}

//==================================================================================================
// Popup, drag, focus

void ComponentsContainer::startDrag(Component* source, uint64_t payload, const Mouse::Cursor& cursor)
{
    if (dragSource != nullptr || source == nullptr)
        return;
    dragSource = source;
    dragPayload = payload;
    dragCursor = cursor;
    showCursor(cursor);
}

void ComponentsContainer::setFocus(Component* c)
{
    if (c == focused)
        return;
    Component* previous = focused;
    focused = c;
    if (previous != nullptr) {
        previous->focusLost(c);
        previous->listeners.call([&](Component::Listener& l) { l.componentFocusLost(*previous, c); });
    }
    if (c != nullptr && focused == c)    // a focusLost handler may have moved the focus again
        c->focusGained();
}

void ComponentsContainer::moveFocusToNext()
{
    if (root == nullptr)
        return;
    Array<Component*> order;
    struct Walk {
        static void collect(Component& c, Array<Component*>& out)
        {
            for (int i = 0; i < c.getNumChildren(); ++i) {
                out.add(c.getChild(i));
                collect(*c.getChild(i), out);
            }
        }
    };
    Walk::collect(*root, order);
    const int current = order.indexOf(focused);
    for (int i = current + 1; i < order.size(); ++i)
        if (order[i]->getWantsKeyboardFocus()) {
            order[i]->grabKeyboardFocus();
            return;
        }
    for (int i = 0; i < current; ++i)
        if (order[i]->getWantsKeyboardFocus()) {
            order[i]->grabKeyboardFocus();
            return;
        }
}

void ComponentsContainer::forget(Component* c) noexcept
{
    if (c == nullptr)
        return;
    if (activePopup == c)
        activePopup = nullptr;
    if (focused == c)
        focused = nullptr;
    if (dragSource == c) {
        dragSource = nullptr;
        dragPayload = 0;
        dragCursor = Mouse::Cursor();
    }
    for (PointerRecord& r : pointers) {
        if (r.hovered == c)
            r.hovered = nullptr;
        if (r.previousHovered == c)
            r.previousHovered = nullptr;
        if (r.captured == c)
            r.captured = nullptr;
    }
    restrictTo.removeFirstMatching(c);
}

void ComponentsContainer::showCursor(const Mouse::Cursor& cursor)
{
    if (host != nullptr)
        host->showCursor(cursor);
}

} // namespace q9framework
