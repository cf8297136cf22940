#pragma once
#include "framework/gui/Array.h"
#include "framework/core/Geometry.h"

#include <cstdint>

namespace q9framework {

/** A set of pixels kept as non-overlapping rectangles: the dirty and changed regions of a component
    container. It is stored as vertical bands: a sorted array of x coordinates, and between each pair of
    neighbours a band holding a sorted list of disjoint [top, bottom) intervals. Adding or subtracting
    a rectangle splits bands at its left and right edges, edits the interval lists of the bands between
    and merges neighbouring bands whose lists are equal, so the same pixel set always has the same
    form and toRectangles gives few rectangles. Band objects are recycled through a free list, so a
    region that is filled and cleared every frame stops allocating after the first frames.
    Rectangles narrower or lower than 1 pixel are ignored. Main thread only. */
class RectangleList {
public:
    RectangleList() = default;
    RectangleList(const RectangleList& other);
    RectangleList& operator=(const RectangleList& other);
    ~RectangleList();

    void clear() noexcept;
    /** No pixels (no x coordinates). */
    bool isEmpty() const noexcept { return xs.isEmpty(); }
    void add(const Rectangle& r);
    void add(const RectangleList& other);
    void subtract(const Rectangle& r);
    void subtract(const RectangleList& other);
    /** out = this ∩ r (out is cleared first; it must not be this list). */
    void intersectInto(const Rectangle& r, RectangleList& out) const;
    void translate(int32_t dx, int32_t dy) noexcept;
    /** The pixels inside `area` are taken out and put back moved by (dx, dy). */
    void moveArea(const Rectangle& area, int32_t dx, int32_t dy);
    /** The smallest rectangle holding every pixel; empty (0, 0, 0, 0) for an empty list. */
    Rectangle getBounds() const noexcept;
    bool contains(int32_t x, int32_t y) const noexcept;
    bool intersects(const Rectangle& r) const noexcept;
    /** Appends one rectangle per band interval: bands left to right, intervals top to bottom. */
    void toRectangles(Array<Rectangle>& out) const;
    int getNumRectangles() const noexcept;

private:
    struct Band {
        Array<int32_t> intervals;    // top0, bottom0, top1, bottom1, ... sorted and disjoint, not touching
        Band* nextFree = nullptr;
    };

    Band* newBand();
    Band* copyBand(const Band& b);
    void freeBand(Band* b) noexcept;
    /** Makes x a band edge and returns its index in xs (the list must not be empty). */
    int splitAt(int32_t x);
    /** Merges equal neighbours and drops empty bands at both ends. */
    void normalise();

    static void addInterval(Array<int32_t>& list, int32_t top, int32_t bottom);
    static void subtractInterval(Array<int32_t>& list, int32_t top, int32_t bottom);

    Array<int32_t> xs;         // band edges; band i lies between xs[i] and xs[i + 1]
    Array<Band*> bands;        // xs.size() - 1 entries (none when xs is empty)
    Band* freeList = nullptr;
};

} // namespace q9framework
