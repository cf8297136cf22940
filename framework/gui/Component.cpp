#include "framework/gui/Component.h"

#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace q9framework {

Component::Component() = default;

Component::~Component()
{
    listeners.call([this](Listener& l) { l.componentBeingDeleted(*this); });
    if (parent != nullptr) {
        parent->removeChild(parent->getIndexOfChild(this), false);
    } else if (container != nullptr) {
        // Destroyed while still a container's root: the container must not keep a dangling root.
        forgetSubtree();
        ComponentsContainer* c = container;
        container = nullptr;
        if (c->root == this)
            c->root = nullptr;
    }
    // The subtree is no longer reachable from any container, so nothing needs forgetting any more;
    // each child is taken out before it is destroyed so it does not call back into this half-gone parent.
    while (!children.isEmpty()) {
        Component* child = children.removeAndReturn(0);
        child->parent = nullptr;
        delete child;
    }
}

//==================================================================================================
// Defaults of the virtual operations

void Component::setValue(bool, double) {}
double Component::getValue() { return 0.0; }

void Component::addedToParent(Component*, int)
{
    update();
    repaint();
}

void Component::setBounds(int32_t x, int32_t y, int32_t width, int32_t height, bool notify)
{
    setBounds(Rectangle(x, y, width, height), notify);
}

void Component::setBounds(const Rectangle& newBounds, bool notify)
{
    if (newBounds == bounds)
        return;
    repaint();
    const Rectangle old = bounds;
    bounds = newBounds;
    const bool positionChanged = old.getPosition() != newBounds.getPosition();
    const bool sizeChanged = old.width != newBounds.width || old.height != newBounds.height;
    if (positionChanged && notify) {
        moved();
        if (parent != nullptr)
            parent->childMoved();
    }
    if (sizeChanged) {
        resized();
        if (!notify) {
            repaint();
            return;
        }
        if (parent != nullptr)
            parent->childResized();
    }
    repaint();
    if (!notify)
        return;
    if (sizeChanged)
        listeners.call([this](Listener& l) { l.componentResized(*this); });
    if (positionChanged)
        listeners.call([this](Listener& l) { l.componentMoved(*this); });
}

Rectangle Component::getPaintBounds()
{
    const int32_t m = static_cast<int32_t>(paintMargin);
    return {bounds.x - m, bounds.y - m, bounds.width + 2 * m, bounds.height + 2 * m};
}

Mouse::Cursor Component::getMouseCursor() { return cursor; }

void Component::mouseMove(const MouseEvent&) {}
void Component::mouseDrag(const MouseEvent&) {}
void Component::mouseDown(const MouseEvent&) {}
void Component::mouseDownAnywhere(Component*) {}
void Component::mouseUp(const MouseEvent&) {}
void Component::mouseEnter(const MouseEvent&) {}
void Component::mouseExit(const MouseEvent&) {}
bool Component::mouseWheel(const MouseEvent&) { return false; }

void Component::startDragging(uint64_t payload, const Mouse::Cursor& dragCursor)
{
    if (ComponentsContainer* c = getContainer())
        c->startDrag(this, payload, dragCursor);
}

void Component::itemDropped(Component*, Component*, uint64_t, Point) {}
bool Component::isInterestedInDrag(Component*, Component*, uint64_t, Point) { return true; }
bool Component::filesDropped(Point, const FileList&) { return false; }
bool Component::isInterestedInFiles(Point, const FileList&) { return false; }
bool Component::isDragTarget() { return false; }

bool Component::keyPressed(const KeyEvent& key)
{
    if (key.keyCode != KeyCodes::tab)
        return false;
    if (ComponentsContainer* c = getContainer())
        c->moveFocusToNext();
    return true;
}

bool Component::keyReleased(const KeyEvent&) { return false; }
bool Component::keyPressedFirst(const KeyEvent&) { return false; }
bool Component::keyReleasedFirst(const KeyEvent&) { return false; }

void Component::grabKeyboardFocus()
{
    if (!getWantsKeyboardFocus())
        return;
    ComponentsContainer* c = getContainer();
    if (c == nullptr || c->getFocus() == this)
        return;
    c->setFocus(this);
}

void Component::focusGained() { repaint(); }
void Component::focusLost(Component*) { repaint(); }
bool Component::isPopup() { return false; }

void Component::setVisible(bool shouldBeVisible)
{
    if (isVisible() == shouldBeVisible)
        return;
    setFlag(visibleFlag, shouldBeVisible);
    listeners.call([this](Listener& l) { l.componentVisibilityChanged(*this); });
    // Shown or hidden, the area changes: repaint it as if visible.
    setFlag(visibleFlag, true);
    repaint();
    setFlag(visibleFlag, shouldBeVisible);
}

void Component::setAlwaysOnTop(bool onTop)
{
    if (isAlwaysOnTop() == onTop)
        return;
    setFlag(alwaysOnTopFlag, onTop);
    repaint();
}

bool Component::isAlwaysOnTop() { return (flags & alwaysOnTopFlag) != 0; }

void Component::repaint()
{
    repaint(getPaintBounds().translated(-bounds.x, -bounds.y));
}

void Component::repaint(const Rectangle& area)
{
    if (!isVisible() || (parent != nullptr && !parent->isVisible()))
        return;
    Rectangle r = area;
    Component* c = this;
    Component* top = this;
    for (; c != nullptr; c = c->parent) {
        r = r.getIntersection(c->getPaintBounds().translated(-c->bounds.x, -c->bounds.y));
        r = r.translated(c->bounds.x, c->bounds.y);
        top = c;
    }
    if (r.width > 0 && r.height > 0 && top->container != nullptr)
        top->container->invalidate(r);
}

void Component::update() {}
void Component::paint(Painter&) {}
void Component::paintExtra() {}
void Component::moved() {}
void Component::resized() {}

void Component::childClicked(Component* child)
{
    if (parent != nullptr)
        parent->childClicked(child);
}

void Component::childMouseDown(Component* child, const MouseEvent& event)
{
    if (parent != nullptr)
        parent->childMouseDown(child, event);
}

void Component::childMouseMove(Component* child, const MouseEvent& event)
{
    if (parent != nullptr)
        parent->childMouseMove(child, event);
}

void Component::childMouseDrag(Component* child, const MouseEvent& event)
{
    if (parent != nullptr)
        parent->childMouseDrag(child, event);
}

void Component::childMouseUp(Component* child, const MouseEvent& event)
{
    if (parent != nullptr)
        parent->childMouseUp(child, event);
}

void Component::childMoved() {}
void Component::childResized() {}
void Component::childRemoved(Component*) {}
void Component::spareHook1() {}
void Component::spareHook2() {}

String Component::getTypeName()
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    String result(status == 0 && demangled != nullptr ? demangled : mangled);
    std::free(demangled);
    return result;
}

void Component::scaleChanged(double) {}
void Component::frameStarting(int) {}
void Component::frameFinished() {}

//==================================================================================================
// Geometry

void Component::setSize(int32_t width, int32_t height)
{
    setBounds(bounds.x, bounds.y, width, height, true);
}

void Component::setTopLeftPosition(Point position)
{
    if (position == bounds.getPosition())
        return;
    const Point delta = position - bounds.getPosition();
    bounds.x = position.x;
    bounds.y = position.y;
    // Only pixels that are on screen can be moved; a hidden component has none.
    bool showing = true;
    for (const Component* c = this; c != nullptr; c = c->parent)
        showing = showing && c->isVisible();
    if (ComponentsContainer* c = getContainer(); c != nullptr && showing)
        c->moveArea(getPositionInRoot(true), delta.x, delta.y);
    moved();
    listeners.call([this](Listener& l) { l.componentMoved(*this); });
}

Rectangle Component::getPositionInRoot(bool clipToAncestors) const
{
    Rectangle r = bounds;
    for (const Component* c = parent; c != nullptr; c = c->parent) {
        if (clipToAncestors)
            r = r.getIntersection(Rectangle(0, 0, c->bounds.width, c->bounds.height));
        r = r.translated(c->bounds.x, c->bounds.y);
    }
    return r;
}

Point Component::getScreenPosition(Point local) const
{
    const ComponentsHost* h = getHost();
    const Point origin = h != nullptr ? const_cast<ComponentsHost*>(h)->getScreenPosition() : Point();
    return origin + getPositionInRoot(false).getPosition() + local;
}

Point Component::getLocalPoint(Point screen) const
{
    return screen - getScreenPosition(Point());
}

//==================================================================================================
// Tree

Component* Component::getTopLevelComponent() const noexcept
{
    const Component* c = this;
    while (c->parent != nullptr)
        c = c->parent;
    return const_cast<Component*>(c);
}

ComponentsContainer* Component::getContainer() const noexcept
{
    return getTopLevelComponent()->container;
}

ComponentsHost* Component::getHost() const noexcept
{
    const ComponentsContainer* c = getContainer();
    return c != nullptr ? c->getHost() : nullptr;
}

double Component::getBackingScale() const noexcept
{
    const ComponentsContainer* c = getContainer();
    return c != nullptr ? c->getBackingScale() : 1.0;
}

void Component::addChild(Component* child, int index)
{
    if (child == nullptr || child == this || child->isParentOf(this) || child->container != nullptr)
        return;
    const int count = children.size();
    if (index < 0 || index >= count)
        index = count;
    if (child->parent == this) {
        const int current = getIndexOfChild(child);
        // Appending the last child again, or re-adding it where it is, changes nothing.
        if (current == index || (index == count && current == count - 1))
            return;
    }
    if (child->parent != nullptr)
        child->parent->removeChild(child->parent->getIndexOfChild(child), false);
    child->parent = this;
    index = std::min(index, children.size());
    children.insert(index, child);
    child->addedToParent(this, index);
}

void Component::addAndMakeVisible(Component* child, int index)
{
    addChild(child, index);
    if (child != nullptr && child->parent == this)
        child->setVisible(true);
}

void Component::removeChild(int index, bool deleteIt)
{
    Component* child = children[index];
    if (child == nullptr)
        return;
    child->repaint();
    childRemoved(child);
    child->forgetSubtree();
    const int now = getIndexOfChild(child);    // childRemoved may have rearranged the list
    if (now < 0)
        return;
    children.removeAndReturn(now);
    child->parent = nullptr;
    if (deleteIt)
        delete child;
}

void Component::removeFromParent()
{
    if (parent != nullptr)
        parent->removeChild(parent->getIndexOfChild(this), false);
}

Component* Component::findChildWithId(uint64_t childId, bool recursive) const
{
    for (Component* child : children) {
        if (child->id == childId)
            return child;
        if (recursive)
            if (Component* found = child->findChildWithId(childId, true))
                return found;
    }
    return nullptr;
}

bool Component::isParentOf(const Component* c) const
{
    if (c == nullptr)
        return false;
    for (const Component* p = c->parent; p != nullptr; p = p->parent)
        if (p == this)
            return true;
    return false;
}

namespace {

Component* hitTest(Component& c, Point p, Point parentOrigin)
{
    if (!c.isVisible() || !c.getBounds().translated(parentOrigin.x, parentOrigin.y).contains(p))
        return nullptr;
    const Point origin = parentOrigin + c.getPosition();
    for (int i = c.getNumChildren() - 1; i >= 0; --i) {
        Component* found = hitTest(*c.getChild(i), p, origin);
        if (found != nullptr && found->getInterceptsMouse())
            return found;
    }
    return &c;
}

} // namespace

Component* Component::getComponentAt(Point p)
{
    if (p.x < 0 || p.y < 0)
        return nullptr;
    return hitTest(*this, p, Point());
}

//==================================================================================================
// Flags, appearance, state

void Component::setEnabled(bool enabled, bool repaintNow)
{
    if (isEnabled() == enabled)
        return;
    setFlag(enabledFlag, enabled);
    if (repaintNow)
        repaint();
}

void Component::setCachedPainting(bool cached) noexcept
{
    setFlag(cachedPaintingFlag, cached);
    if (cached)
        cacheStale = true;
}

void Component::setRepaintsOn(bool hover, bool move, bool press) noexcept
{
    repaintOnHover = hover;
    repaintOnMove = move;
    repaintOnPress = press;
}

LookAndFeel& Component::getLookAndFeel() const
{
    return lookAndFeel != nullptr ? *lookAndFeel : getDefaultLookAndFeel();
}

Colour Component::findColour(int colourId) const
{
    const Colour* c = colours.get(colourId);
    return c != nullptr ? *c : Colour(0, 0, 0, 255);
}

bool Component::hasKeyboardFocus() const noexcept
{
    const ComponentsContainer* c = getContainer();
    return c != nullptr && c->getFocus() == this;
}

void Component::giveAwayFocus()
{
    if (hasKeyboardFocus())
        getContainer()->setFocus(nullptr);
}

bool Component::isKeyDown(KeyCode key)
{
    return ComponentsContainer::isKeyHeld(key);
}

void Component::setMouseLocked(bool locked)
{
    if (ComponentsHost* h = getHost())
        h->setMouseLocked(locked);
}

void Component::forgetSubtree()
{
    ComponentsContainer* c = getContainer();
    if (c == nullptr)
        return;
    struct Walk {
        static void forget(ComponentsContainer& container, Component& component)
        {
            container.forget(&component);
            for (Component* child : component.children)
                forget(container, *child);
        }
    };
    Walk::forget(*c, *this);
}

void Component::paintWithCache(Painter& painter)
{
    if (cache.getWidth() != bounds.width || cache.getHeight() != bounds.height) {
        cache = bounds.width > 0 && bounds.height > 0 ? Image(bounds.width, bounds.height, true) : Image();
        cacheStale = true;    // a new image holds nothing yet
    }
    if (cache.isNull())
        return;
    if (cacheStale) {
        Painter cachePainter(cache);
        cachePainter.setScale(painter.getScale());
        cachePainter.setFont(painter.getFont());
        cachePainter.fillAll(Colour(), false);
        paint(cachePainter);
        cacheStale = false;
    }
    painter.drawImageAt(cache, Point(0, 0), true, 255);
}

} // namespace q9framework
