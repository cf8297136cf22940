#pragma once
#include "framework/gui/MouseCursor.h"
#include "framework/core/Geometry.h"

namespace q9framework {

class RenderingContext;

/** What a component tree asks of the window that shows it; the window (or, for a nested tree, the
    outer window) implements it, so the tree itself needs no display. A container without a host
    quietly does without: screen positions are taken as (0, 0), cursors and mouse locks are dropped.
    Main thread only. */
class ComponentsHost {
public:
    virtual ~ComponentsHost() = default;

    /** Top-left corner of the window's content area on the screen, pixels. */
    virtual Point getScreenPosition() = 0;
    /** Shows the cursor over the window (an empty handle is the arrow). */
    virtual void showCursor(const Mouse::Cursor& cursor) = 0;
    /** Hides and pins the pointer while a control drags (knobs, sliders); every button release ends
        the lock on the window's side as well. */
    virtual void setMouseLocked(bool locked) = 0;
    /** Where the pointer is on the screen now, pixels (the platform's current pointer location, not an
        event's). A host without a platform answers its screen position. */
    virtual Point getPointerScreenPosition() { return getScreenPosition(); }
    /** The window's GPU context, for components that draw directly at the end of a frame; null when
        the window has none. */
    virtual RenderingContext* getRenderingContext() { return nullptr; }
};

} // namespace q9framework
