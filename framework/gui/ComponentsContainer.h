#pragma once
#include "framework/gui/Array.h"
#include "framework/gui/Component.h"
#include "framework/gui/KeyEvent.h"
#include "framework/gui/MouseCursor.h"
#include "framework/gui/MouseEvent.h"
#include "framework/gui/RectangleList.h"
#include "framework/core/Geometry.h"

#include <cstdint>

namespace q9framework {

class ComponentsHost;
class Painter;

/** The per-window side of a component tree: it holds the root, the dirty regions, the state of up to
    11 pointers (hover, capture, held buttons), the keyboard focus, the active popup and a drag in
    progress. The host (a ComponentsWindow, or an AdapterComponent for a nested tree) feeds it raw
    pointer and key events in container coordinates and asks it once per frame to paint what is dirty
    into its pixel buffer; the container tells its listener which areas became invalid or moved.

    Pointer state per record: idle (no button; the hovered component follows the pointer) -> pressed
    (the first press fixes the captured component and freezes the hover; events go to the captured
    component) -> idle again when the last button is released, when the hover is recomputed at once.

    Destroying the container destroys the root it holds. Main thread only. */
class ComponentsContainer {
public:
    static constexpr int numPointers = 11;

    /** The host's view of the picture: which areas to present or copy. */
    class Listener {
    public:
        virtual ~Listener() = default;
        /** `area` (container coordinates, not clipped to the container) must be repainted. */
        virtual void areaInvalidated(const Rectangle& area) = 0;
        /** Pixels of `source` were moved to `destination` inside the picture (same size); the host copies
            them in its buffer. */
        virtual void areaMoved(const Rectangle& source, const Rectangle& destination) = 0;
        /** For hosts that cannot copy their buffer (noAreaCopy): move the pixels on the screen only. */
        virtual void areaMovedOnScreen(const Rectangle& source, const Rectangle& destination) = 0;
    };

    /** The event handed to handlers, then the dispatch state of the pointer. */
    struct PointerRecord {
        MouseEvent event;
        Component* captured = nullptr;      // received the first press of the current button sequence
        uint32_t buttonsHeld = 0;           // bit mask of held buttons
        Component* hovered = nullptr;       // last to receive mouseEnter
        Component* previousHovered = nullptr;
    };

    /** Size 0 x 0, no root, backing scale 1.0. `host` may be null (a nested tree). */
    explicit ComponentsContainer(ComponentsHost* host);
    /** Detaches and destroys the root. */
    ~ComponentsContainer();
    ComponentsContainer(const ComponentsContainer&) = delete;
    ComponentsContainer& operator=(const ComponentsContainer&) = delete;

    //----------------------------------------------------------------------------------------------
    // Root, size, host

    /** The previous root loses its container and is destroyed when deletePrevious (otherwise it goes
        back to the caller); `root` (may be null) becomes the root, made visible when asked, and hears
        scaleChanged when the backing scale is not 1. A root that still has a parent is refused. */
    void setRoot(Component* root, bool makeVisible, bool deletePrevious);
    Component* getRoot() const noexcept { return root; }
    /** Resizes the root to (width, height) with notification and invalidates everything; nothing when
        unchanged. */
    void setSize(int32_t width, int32_t height);
    Point getSize() const noexcept { return {width, height}; }
    /** Device pixels per pixel; the root hears scaleChanged when it changes. */
    void setBackingScale(double scale);
    double getBackingScale() const noexcept { return backingScale; }
    void setHost(ComponentsHost* newHost) noexcept { host = newHost; }
    ComponentsHost* getHost() const noexcept { return host; }
    void setListener(Listener* newListener) noexcept { listener = newListener; }
    /** For hosts that cannot copy pixels of their buffer: moved areas are reported with
        areaMovedOnScreen and the rest repainted. */
    void setNoAreaCopy(bool noCopy) noexcept { noAreaCopy = noCopy; }

    //----------------------------------------------------------------------------------------------
    // Regions and painting

    /** Adds rect (clipped to the container) to the dirty and changed regions and tells the listener
        (with the unclipped rectangle). */
    void invalidate(const Rectangle& rect);
    void repaintAll();
    /** A component's pixels inside `area` moved by (dx, dy): the dirty part moves with them, the
        uncovered part is invalidated and the overlap is copied by the host (areaMoved) or, with
        noAreaCopy, moved on screen and repainted where exposed. */
    void moveArea(const Rectangle& area, int32_t dx, int32_t dy);
    bool isDirty() const noexcept { return !dirty.isEmpty(); }
    /** Paints the dirty part of the tree into the buffer (32-bit premultiplied pixels, top-left pixel,
        size, stride in bytes; a negative stride is a bottom-up buffer). Nothing when nothing is dirty.
        With clearAfter the dirty and changed regions are cleared (a window clears them itself after
        presenting). */
    void paintDirtyRegion(uint8_t* pixels, int32_t bufferWidth, int32_t bufferHeight, int32_t strideBytes,
                          bool clearAfter);
    /** The changed region (what to present) clipped to the root's size. */
    RectangleList getChangedArea() const;
    const RectangleList& getDirtyRegion() const noexcept { return dirty; }
    void clearRegions() noexcept;

    //----------------------------------------------------------------------------------------------
    // Events

    /** One raw pointer event at p (container coordinates). pointer is 0..10 (others are refused);
        button is the pressed or released button's code (1, 2, 4); clicks counts a double click as 2. */
    void dispatchPointerEvent(int pointer, MouseEventType type, Point p, uint32_t button, int clickCount,
                              float wheelX, float wheelY);
    /** The pointer record (for hosts and tests); null for a bad index. */
    const PointerRecord* getPointer(int pointer) const noexcept;
    /** Restricts pointer events to the listed components (a modal part of the tree); an empty list
        lifts the restriction. Events whose hit component is not listed are dropped with the refusal
        cursor. */
    void setRestrictTo(const Array<Component*>& components);
    /** Records the key as held and offers it to the root's keyPressedFirst, then to the focused
        component and its ancestors; true when one consumed it. */
    bool keyDown(KeyCode key, int32_t hardwareCode);
    bool keyUp(KeyCode key, int32_t hardwareCode);
    /** Whether the component under p, or an ancestor, wants the dropped files. */
    bool isInterestedInFiles(Point p, const FileList& files);
    /** Gives the files to the first of the hit component and its ancestors that wants and takes them. */
    bool filesDropped(Point p, const FileList& files);

    /** The periodic tick: update on every visible component, pre-order; invisible subtrees skipped. */
    void broadcastUpdate();
    void frameStarting(int argument);
    void frameFinished();

    //----------------------------------------------------------------------------------------------
    // Popup, drag, focus

    /** The component hears mouseDownAnywhere at the next press and is then forgotten. */
    void setActivePopup(Component* popup) noexcept { activePopup = popup; }
    Component* getActivePopup() const noexcept { return activePopup; }
    /** Starts a drag unless one is in progress; the cursor is shown at once. */
    void startDrag(Component* source, uint64_t payload, const Mouse::Cursor& cursor);
    bool isDragging() const noexcept { return dragSource != nullptr; }
    /** Moves the focus: the previous owner hears focusLost(c) and its listeners componentFocusLost,
        then c (when not null) hears focusGained. Nothing when c already has it. */
    void setFocus(Component* c);
    Component* getFocus() const noexcept { return focused; }
    /** Tab: focuses the next component after the focused one (pre-order, wrapping) that wants focus. */
    void moveFocusToNext();
    /** Clears every reference to c: active popup, focus, hover and capture of every pointer, drag source. */
    void forget(Component* c) noexcept;

    /** Whether the key is held; the set is process-wide and fed by every container. */
    static bool isKeyHeld(KeyCode key);

    /** Shows a cursor through the host (nothing without one). */
    void showCursor(const Mouse::Cursor& cursor);

private:
    friend class Component;    // a root destroyed directly detaches itself

    struct Occluder {
        int32_t order;
        Component* component;
    };

    void numberComponents(Component& c, Point origin, Rectangle clip, int32_t& counter);
    void paintComponent(Component& c, Painter& painter, Rectangle clip, bool pass);
    void paintOne(Component& c, Painter& painter);
    void exitSequence(PointerRecord& r, Component* c);
    void enterSequence(PointerRecord& r, Component* c);
    /** The first of c and its ancestors whose isDragTarget is true. */
    static Component* findDragTarget(Component* c);
    Point positionInRoot(const Component* c) const;

    bool noAreaCopy = false;
    double backingScale = 1.0;
    Array<Component*> restrictTo;
    Component* activePopup = nullptr;
    Component* focused = nullptr;
    ComponentsHost* host = nullptr;
    Listener* listener = nullptr;
    PointerRecord pointers[numPointers];
    int32_t width = 0, height = 0;
    Component* root = nullptr;
    RectangleList dirty;
    RectangleList changed;
    RectangleList scratchRegion, movedRegion;
    Array<Rectangle> movedRects;
    Component* dragSource = nullptr;
    uint64_t dragPayload = 0;
    Mouse::Cursor dragCursor;
    Array<Occluder> occluders;      // opaque components of the current paint, in paint order
    Array<Rectangle> paintRects;    // the rectangles one component is painted in
};

} // namespace q9framework
