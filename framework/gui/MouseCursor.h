#pragma once
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"
#include "framework/core/ReferenceCountedObject.h"

#include <cstdint>

namespace q9framework {

/** Index into the process-wide table of standard cursors (the window layer makes the platform cursors). */
enum StandardCursor : int32_t {
    cursorArrow = 0,
    cursorPointingHand = 1,
    cursorResizeUpDown = 2,
    cursorResizeLeftRight = 3,
    cursorArrow4 = 4,
    cursorResizeLeft = 5,
    cursorResizeRight = 6,
    cursorResizeLeft7 = 7,
    cursorResizeRight8 = 8,
    cursorOpenHand = 9,
    cursorClosedHand = 10,
    cursorArrow11 = 11,
    cursorCrosshair = 12,
    cursorDragRefused = 13,
    cursorDragCopy = 14,
    cursorArrow15 = 15,
    numStandardCursors = 16,
};

namespace Mouse {

/** A shared cursor handle: either one of the standard cursors or a custom picture with a hot spot. The
    handle itself needs no display; the window layer turns it into a platform cursor when it shows it
    (for a custom cursor it may keep that platform object in the Internal, see `native`). An empty
    handle shows the arrow. Main thread only. */
class Cursor {
public:
    /** The shared part of a custom cursor. */
    struct Internal : public ReferenceCountedObject {
        Image image;
        Point hotSpot;
        /** Set by the window layer when it first shows the cursor; released through releaseNative. */
        void* native = nullptr;
        void (*releaseNative)(void*) = nullptr;
        ~Internal() override
        {
            if (native != nullptr && releaseNative != nullptr)
                releaseNative(native);
        }
    };

    /** The empty handle: the arrow. */
    Cursor() noexcept = default;
    /** A standard cursor; an index outside 0..15 gives the empty handle. */
    Cursor(StandardCursor standard) noexcept
        : standardIndex(standard >= 0 && standard < numStandardCursors ? standard : -1) {}
    /** A custom cursor; a null image gives the empty handle. */
    Cursor(const Image& image, Point hotSpot);
    Cursor(const Cursor& other) noexcept;
    Cursor& operator=(const Cursor& other) noexcept;
    ~Cursor();

    bool isEmpty() const noexcept { return standardIndex < 0 && internal == nullptr; }
    /** The standard index, or -1 for a custom or empty handle. */
    int32_t getStandardIndex() const noexcept { return standardIndex; }
    /** The custom cursor's shared part, or null. */
    Internal* getInternal() const noexcept { return internal; }

    /** Same standard cursor, or the same custom Internal. */
    bool operator==(const Cursor& o) const noexcept
    {
        return standardIndex == o.standardIndex && internal == o.internal;
    }
    bool operator!=(const Cursor& o) const noexcept { return !(*this == o); }

private:
    int32_t standardIndex = -1;
    Internal* internal = nullptr;
};

} // namespace Mouse
} // namespace q9framework
