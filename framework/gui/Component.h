#pragma once
#include "framework/gui/Array.h"
#include "framework/gui/KeyEvent.h"
#include "framework/gui/MouseCursor.h"
#include "framework/gui/MouseEvent.h"
#include "framework/gui/SortedMap.h"
#include "framework/core/Colour.h"
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"
#include "framework/core/String.h"
#include "framework/core/Var.h"

#include <cstdint>

namespace q9framework {

class ComponentsContainer;
class ComponentsHost;
class LookAndFeel;
class Painter;

/** File names dropped on a window from the desktop. */
using FileList = Array<String>;

/** An element of the user interface: a rectangle in its parent's coordinates with an ordered list of
    owned children (index 0 at the back, the last in front), flags, colours, properties, and virtual
    handlers for painting, pointer, keyboard, focus and drag and drop.

    A component is created detached, invisible, enabled, intercepting the mouse, with empty bounds. It is
    drawn once it hangs below a root attached to a ComponentsContainer and is visible all the way up.
    The root's container does the per-window work: it collects repaints into dirty regions, paints the
    tree when its window asks for a frame, and turns the window's raw pointer and key events into the
    handler calls below. A tree without a container drops repaints, drags and focus requests silently.

    Ownership: a component owns its children; destroying it destroys its subtree. Removing a component
    (or destroying it) first makes its container forget it and its descendants (hover, capture, focus,
    active popup), so no event reaches a dead component. Handlers may delete or remove components,
    including the one being called: the dispatch notices and stops that sequence.
    All coordinates are integer pixels. Main thread only; nothing here throws. */
class Component {
public:
    /** Observers of one component; every operation has an empty default. */
    class Listener {
    public:
        virtual ~Listener() = default;
        /** The first thing the component's destructor does. */
        virtual void componentBeingDeleted(Component& component) { (void)component; }
        /** After the component's own focusLost. */
        virtual void componentFocusLost(Component& component, Component* newFocus)
        {
            (void)component, (void)newFocus;
        }
        /** The size changed (setBounds with notification). */
        virtual void componentResized(Component& component) { (void)component; }
        /** The position changed (setBounds with notification, after componentResized; setTopLeftPosition). */
        virtual void componentMoved(Component& component) { (void)component; }
        virtual void componentVisibilityChanged(Component& component) { (void)component; }
        /** After the component's mouseDown. */
        virtual void componentMouseDown(Component& component, const MouseEvent& event)
        {
            (void)component, (void)event;
        }
        /** A button was released on the component, before its parent's childMouseUp and its mouseUp. */
        virtual void componentMouseUp(Component& component, const MouseEvent& event)
        {
            (void)component, (void)event;
        }
    };

    /** Flag bits. */
    enum Flags : uint32_t {
        alwaysOnTopFlag = 0x001,        // painted in the second pass, above everything else
        opaqueFlag = 0x002,             // fills its whole paint bounds: what lies behind is not painted
        enabledFlag = 0x004,            // controls act on clicks only when set
        interceptsMouseFlag = 0x008,    // hit testing returns the component (a root is returned regardless)
        visibleFlag = 0x010,
        wantsKeyboardFocusFlag = 0x020, // may take the focus; visited by Tab
        clipsChildrenFlag = 0x080,      // children are painted only inside this component's bounds
        cachedPaintingFlag = 0x200,     // paints once into an image that is then drawn instead
        defaultFlags = enabledFlag | interceptsMouseFlag,
    };

    Component();
    /** Listeners hear componentBeingDeleted; the component leaves its parent (without the parent
        deleting it) and its container forgets it; then the children are destroyed. */
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    //==============================================================================================
    // Virtual operations. Defaults are the base behaviour; controls and panels override what they need.

    /** A value-holding control's value (controls clamp it); nothing by default. Listeners and the
        parent's childClicked hear the change only when notify is set. */
    virtual void setValue(bool notify, double value);
    virtual double getValue();
    /** Called by the parent's addChild once the child is in place: update, then repaint. */
    virtual void addedToParent(Component* newParent, int index);
    /** Forwards to setBounds(Rectangle, notify). */
    virtual void setBounds(int32_t x, int32_t y, int32_t width, int32_t height, bool notify = true);
    /** Nothing when unchanged. Otherwise repaints the old area, stores the rectangle, and with notify
        calls moved and the parent's childMoved when the position changed; when the size changed calls
        resized and, with notify, the parent's childResized; repaints the new area; finally, with
        notify, listeners hear componentResized and componentMoved as they apply. Without notify, a
        pure move calls no hook at all. */
    virtual void setBounds(const Rectangle& newBounds, bool notify = true);
    /** The area this component paints, in the parent's coordinates: the bounds grown by the paint
        margin on every side. Controls whose look spills over their bounds override it. */
    virtual Rectangle getPaintBounds();
    /** The cursor shown while the pointer is over this component: the cursor field. */
    virtual Mouse::Cursor getMouseCursor();

    virtual void mouseMove(const MouseEvent& event);
    virtual void mouseDrag(const MouseEvent& event);
    virtual void mouseDown(const MouseEvent& event);
    /** Sent to the active popup at the next press anywhere in its window (hit may be null). */
    virtual void mouseDownAnywhere(Component* hit);
    virtual void mouseUp(const MouseEvent& event);
    virtual void mouseEnter(const MouseEvent& event);
    virtual void mouseExit(const MouseEvent& event);
    /** True when consumed; otherwise the parent is asked next (up to the root). */
    virtual bool mouseWheel(const MouseEvent& event);

    /** Starts a drag in the root's container carrying `payload`, showing `cursor` until the button is
        released over a drag target. Nothing without a container or while another drag runs. */
    virtual void startDragging(uint64_t payload, const Mouse::Cursor& cursor);
    /** A drag from `source` was released over `hit` (this component or a descendant); `local` is the
        release point relative to this component. */
    virtual void itemDropped(Component* source, Component* hit, uint64_t payload, Point local);
    virtual bool isInterestedInDrag(Component* source, Component* hit, uint64_t payload, Point local);
    virtual bool filesDropped(Point local, const FileList& files);
    virtual bool isInterestedInFiles(Point local, const FileList& files);
    /** Whether drags are offered to this component (isInterestedInDrag, itemDropped). */
    virtual bool isDragTarget();

    /** Offered first to the focused component, then to each ancestor, until one returns true. The base
        consumes Tab by moving the focus to the next focusable component. */
    virtual bool keyPressed(const KeyEvent& key);
    virtual bool keyReleased(const KeyEvent& key);
    /** Asked of the root before the focus chain (shortcuts of the whole window). */
    virtual bool keyPressedFirst(const KeyEvent& key);
    virtual bool keyReleasedFirst(const KeyEvent& key);
    /** Takes the keyboard focus if this component wants it and its tree has a container. */
    virtual void grabKeyboardFocus();
    virtual void focusGained();
    virtual void focusLost(Component* newFocus);
    virtual bool isPopup();

    /** Nothing when unchanged; otherwise stores the bit, tells the listeners and repaints the area
        (showing and hiding both repaint it). */
    virtual void setVisible(bool shouldBeVisible);
    /** Changes only the always-on-top bit, then repaints, when it changes. */
    virtual void setAlwaysOnTop(bool onTop);
    virtual bool isAlwaysOnTop();
    /** Repaints the whole paint area. */
    virtual void repaint();
    /** Marks `area` (this component's coordinates) dirty in the container, clipped by the paint bounds
        of this component and of every ancestor. Nothing while this component or its parent is
        invisible, or without a container. */
    virtual void repaint(const Rectangle& area);
    /** The periodic tick: the window broadcasts it to every visible component every 16 ms, so
        components poll and animate here. */
    virtual void update();
    /** Draws the component in its own coordinates; the painter's clip is the part being repainted. */
    virtual void paint(Painter& painter);
    /** Not called by the painting pass; for components that draw beside it. */
    virtual void paintExtra();
    /** The position changed (setBounds with notification, setTopLeftPosition). */
    virtual void moved();
    virtual void resized();

    /** Child hooks bubble: the base forwards to the parent, so each ancestor hears the event until one
        overrides the hook and stops forwarding. Buttons send childClicked when a click completes. */
    virtual void childClicked(Component* child);
    virtual void childMouseDown(Component* child, const MouseEvent& event);
    virtual void childMouseMove(Component* child, const MouseEvent& event);
    virtual void childMouseDrag(Component* child, const MouseEvent& event);
    virtual void childMouseUp(Component* child, const MouseEvent& event);
    virtual void childMoved();
    virtual void childResized();
    /** Before the child is forgotten and taken out of the list. */
    virtual void childRemoved(Component* child);
    virtual void spareHook1();
    virtual void spareHook2();
    /** The run-time class name (demangled when possible). */
    virtual String getTypeName();
    /** Root only: the container's backing scale (device pixels per pixel) changed. */
    virtual void scaleChanged(double newScale);
    /** Root only: the window starts a redraw; the argument is passed through from the window. */
    virtual void frameStarting(int argument);
    /** Root only: the window finished a redraw (its picture is on screen). */
    virtual void frameFinished();

    //==============================================================================================
    // Geometry

    int32_t getX() const noexcept { return bounds.x; }
    int32_t getY() const noexcept { return bounds.y; }
    int32_t getWidth() const noexcept { return bounds.width; }
    int32_t getHeight() const noexcept { return bounds.height; }
    int32_t getRight() const noexcept { return bounds.getRight(); }
    int32_t getBottom() const noexcept { return bounds.getBottom(); }
    Point getPosition() const noexcept { return bounds.getPosition(); }
    /** Width and height as a point. */
    Point getSize() const noexcept { return {bounds.width, bounds.height}; }
    const Rectangle& getBounds() const noexcept { return bounds; }
    /** setBounds(x, y, width, height, true). */
    void setSize(int32_t width, int32_t height);
    /** The cheap move used for scrolling: stores the position and asks the container to move the
        pixels already painted instead of repainting them; calls moved and componentMoved, but no
        parent hook. Nothing when the position is unchanged. */
    void setTopLeftPosition(Point position);
    void setPaintMargin(uint32_t pixels) noexcept { paintMargin = pixels; }
    uint32_t getPaintMargin() const noexcept { return paintMargin; }

    /** The bounds in root coordinates; with clipToAncestors, clipped to every ancestor on the way. */
    Rectangle getPositionInRoot(bool clipToAncestors) const;
    /** A point of this component on the screen (through the host window's screen position). */
    Point getScreenPosition(Point local) const;
    /** The inverse of getScreenPosition. */
    Point getLocalPoint(Point screen) const;

    //==============================================================================================
    // Tree

    Component* getParent() const noexcept { return parent; }
    /** The root of this component's tree (itself when it has no parent). */
    Component* getTopLevelComponent() const noexcept;
    /** The root's container, or null. */
    ComponentsContainer* getContainer() const noexcept;
    /** The container's host window, or null. */
    ComponentsHost* getHost() const noexcept;
    /** The container's backing scale; 1.0 without a container. */
    double getBackingScale() const noexcept;

    /** Takes ownership and inserts at index (below 0 or past the end appends), first taking the child
        from its current parent (which may be this one); then the child's addedToParent. Nothing for
        null, for this component itself or one of its ancestors, or when the child already sits at
        exactly that index. */
    void addChild(Component* child, int index = -1);
    /** addChild, then setVisible(true). */
    void addAndMakeVisible(Component* child, int index = -1);
    /** Repaints the child's area, calls childRemoved, makes the container forget the child's subtree,
        takes it out of the list and, with deleteIt, destroys it (without, ownership goes back to the
        caller). Nothing for a bad index. */
    void removeChild(int index, bool deleteIt);
    /** Removes this component from its parent without destroying it. */
    void removeFromParent();
    int getNumChildren() const noexcept { return children.size(); }
    /** Null for a bad index. */
    Component* getChild(int index) const noexcept { return children[index]; }
    int getIndexOfChild(const Component* child) const { return children.indexOf(child); }
    /** The first child with this id; with recursive, searched depth first through the subtree. */
    Component* findChildWithId(uint64_t childId, bool recursive) const;
    /** Whether c is a descendant (at any depth). */
    bool isParentOf(const Component* c) const;
    /** The front-most visible component under p (this component's coordinates) within this subtree,
        honouring interceptsMouse below the top; null when p is outside or this is invisible. The root
        of a container answers for container coordinates. */
    Component* getComponentAt(Point p);

    //==============================================================================================
    // Flags and appearance

    uint32_t getFlags() const noexcept { return flags; }
    bool isVisible() const noexcept { return (flags & visibleFlag) != 0; }
    bool isOpaque() const noexcept { return (flags & opaqueFlag) != 0; }
    void setOpaque(bool opaque) noexcept { setFlag(opaqueFlag, opaque); }
    bool isEnabled() const noexcept { return (flags & enabledFlag) != 0; }
    /** Stores the bit; repaints when asked and the bit changed. */
    void setEnabled(bool enabled, bool repaintNow = true);
    bool getInterceptsMouse() const noexcept { return (flags & interceptsMouseFlag) != 0; }
    void setInterceptsMouse(bool intercepts) noexcept { setFlag(interceptsMouseFlag, intercepts); }
    bool getWantsKeyboardFocus() const noexcept { return (flags & wantsKeyboardFocusFlag) != 0; }
    void setWantsKeyboardFocus(bool wants) noexcept { setFlag(wantsKeyboardFocusFlag, wants); }
    bool getClipsChildren() const noexcept { return (flags & clipsChildrenFlag) != 0; }
    void setClipsChildren(bool clips) noexcept { setFlag(clipsChildrenFlag, clips); }
    bool getCachedPainting() const noexcept { return (flags & cachedPaintingFlag) != 0; }
    /** Turning it on marks the cache stale, so the first cached paint fills it. */
    void setCachedPainting(bool cached) noexcept;
    /** The cache is painted again at the next paint (after content changes). */
    void markCacheStale() noexcept { cacheStale = true; }

    /** Whether the component repaints itself on enter/exit, on move/drag, on button down/up. */
    void setRepaintsOn(bool hover, bool move, bool press) noexcept;
    void setCursor(const Mouse::Cursor& newCursor) { cursor = newCursor; }
    const Mouse::Cursor& getCursor() const noexcept { return cursor; }
    /** Not owned; null means the default look and feel. */
    void setLookAndFeel(LookAndFeel* newLookAndFeel) noexcept { lookAndFeel = newLookAndFeel; }
    LookAndFeel& getLookAndFeel() const;

    void setName(const String& newName) { name = newName; }
    const String& getName() const noexcept { return name; }
    void setId(uint64_t newId) noexcept { id = newId; }
    uint64_t getId() const noexcept { return id; }

    /** The stored colour, or opaque black for an id that is not set. */
    Colour findColour(int colourId) const;
    void setColour(int colourId, Colour colour) { colours.set(colourId, colour); }
    bool isColourSpecified(int colourId) const { return colours.contains(colourId); }
    void setProperty(int propertyId, const Var& value) { properties.set(propertyId, value); }
    /** The stored value, or null; valid until the properties change. */
    const Var* getProperty(int propertyId) const { return properties.get(propertyId); }
    bool removeProperty(int propertyId) { return properties.remove(propertyId); }

    //==============================================================================================
    // State of pointer, keyboard and focus

    bool isMouseOver() const noexcept { return mouseOver; }
    bool isMouseButtonDown() const noexcept { return buttonsDownCount > 0; }
    bool hasKeyboardFocus() const noexcept;
    /** If this component has the focus, the focus goes to nobody (with the usual focusLost). */
    void giveAwayFocus();
    /** Whether the key is held (one process-wide set, fed by every container). */
    static bool isKeyDown(KeyCode key);
    /** Asks the host window to hide and pin the pointer (knobs and sliders while dragging). */
    void setMouseLocked(bool locked);

    /** Duplicates (and null) are ignored. */
    void addListener(Listener* listener) { listeners.add(listener); }
    /** False when the listener was not registered. Safe during a notification. */
    bool removeListener(Listener* listener) { return listeners.remove(listener); }

    /** Scratch of the last paint: the paint bounds in root coordinates, clipped by clipping ancestors,
        and the pre-order number among visible components. */
    const Rectangle& getVisibleRect() const noexcept { return visibleRect; }
    int32_t getPaintOrder() const noexcept { return paintOrder; }

protected:
    void setFlag(uint32_t bit, bool on) noexcept { flags = on ? (flags | bit) : (flags & ~bit); }

private:
    friend class ComponentsContainer;

    /** Makes the container (if any) forget this component and its whole subtree. */
    void forgetSubtree();
    void paintWithCache(Painter& painter);

    bool mouseOver = false;
    uint32_t paintMargin = 0;
    Rectangle bounds;
    Component* parent = nullptr;
    bool repaintOnHover = false, repaintOnMove = false, repaintOnPress = false;
    Mouse::Cursor cursor;
    uint32_t flags = defaultFlags;
    int32_t buttonsDownCount = 0;
    LookAndFeel* lookAndFeel = nullptr;
    uint64_t id = ~uint64_t(0);
    OwnedArray<Component> children;
    String name;
    SortedMap<int, Colour> colours;
    Rectangle visibleRect;
    int32_t paintOrder = 0;
    ListenerList<Listener> listeners;
    SortedMap<int, Var> properties;
    bool cacheStale = true;
    Image cache;
    ComponentsContainer* container = nullptr;
};

} // namespace q9framework
