#pragma once
#include "framework/core/Geometry.h"

#include <cstdint>

namespace q9framework {

/** What a pointer did, as the window hands it to ComponentsContainer::dispatchPointerEvent. */
enum MouseEventType : int32_t {
    mouseEventWheel = 0,
    mouseEventDown = 1,
    mouseEventMove = 2,       // a move with no button held, a drag with one
    mouseEventUp = 3,
    mouseEventEntered = 4,    // the pointer entered the host
    mouseEventExited = 5,     // the pointer left the host
};

/** Button codes (a bit each, so several can be held). */
enum MouseButton : uint32_t {
    mouseButtonLeft = 1,
    mouseButtonOther = 2,     // middle and any further button
    mouseButtonRight = 4,
};

/** One pointer event as a component receives it. Positions are pixels: `position` and `downPosition`
    relative to the receiving component, the screen ones on the desktop. The container keeps one per
    pointer and updates it in place, so a handler that wants to keep an event copies it. */
struct MouseEvent {
    uint32_t button = 0;            // button of the last press: 1 left, 4 right, 2 other
    Point position;                 // relative to the receiving component
    Point downPosition;             // `position` at the last event with no button held (the press point)
    Point screenPosition;
    Point downScreenPosition;
    Point delta;                    // screen movement since the previous event; (0, 0) on a press
    float wheelX = 0.0f, wheelY = 0.0f;
    int32_t clickCount = 0;         // of the last press: 2 for a double click

    /** How far the pointer is from where the press began (a drag's distance). */
    Point getOffsetFromDownPosition() const noexcept { return position - downPosition; }
};

} // namespace q9framework
