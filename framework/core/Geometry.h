#pragma once
#include <algorithm>
#include <cstdint>

namespace q9framework {

/** Integer pixel coordinates in the parent component's space. */
struct Point {
    int32_t x = 0, y = 0;
    constexpr Point() noexcept = default;
    constexpr Point(int32_t px, int32_t py) noexcept : x(px), y(py) {}
    constexpr Point operator+(Point o) const noexcept { return {x + o.x, y + o.y}; }
    constexpr Point operator-(Point o) const noexcept { return {x - o.x, y - o.y}; }
    constexpr bool operator==(Point o) const noexcept { return x == o.x && y == o.y; }
    constexpr bool operator!=(Point o) const noexcept { return !(*this == o); }
};

/** x, y, width, height. Empty when width < 1 or height < 1; (px, py) is inside when
    x <= px < x + width and y <= py < y + height. */
struct Rectangle {
    int32_t x = 0, y = 0, width = 0, height = 0;
    constexpr Rectangle() noexcept = default;
    constexpr Rectangle(int32_t rx, int32_t ry, int32_t w, int32_t h) noexcept : x(rx), y(ry), width(w), height(h) {}

    constexpr int32_t getRight() const noexcept { return x + width; }
    constexpr int32_t getBottom() const noexcept { return y + height; }
    constexpr bool isEmpty() const noexcept { return width < 1 || height < 1; }
    constexpr bool contains(int32_t px, int32_t py) const noexcept
    {
        return x <= px && px < x + width && y <= py && py < y + height;
    }
    constexpr bool contains(Point p) const noexcept { return contains(p.x, p.y); }
    constexpr bool contains(const Rectangle& o) const noexcept
    {
        return o.x >= x && o.y >= y && o.getRight() <= getRight() && o.getBottom() <= getBottom();
    }
    /** The common area; a negative width or height is clamped to 0. */
    constexpr Rectangle getIntersection(const Rectangle& o) const noexcept
    {
        const int32_t nx = std::max(x, o.x), ny = std::max(y, o.y);
        const int32_t w = std::min(getRight(), o.getRight()) - nx;
        const int32_t h = std::min(getBottom(), o.getBottom()) - ny;
        return {nx, ny, w < 0 ? 0 : w, h < 0 ? 0 : h};
    }
    constexpr bool intersects(const Rectangle& o) const noexcept { return !getIntersection(o).isEmpty(); }
    /** The smallest rectangle holding both; an empty one adds nothing. */
    constexpr Rectangle getUnion(const Rectangle& o) const noexcept
    {
        if (o.isEmpty())
            return *this;
        if (isEmpty())
            return o;
        const int32_t nx = std::min(x, o.x), ny = std::min(y, o.y);
        return {nx, ny, std::max(getRight(), o.getRight()) - nx, std::max(getBottom(), o.getBottom()) - ny};
    }
    constexpr Rectangle translated(int32_t dx, int32_t dy) const noexcept { return {x + dx, y + dy, width, height}; }
    constexpr Point getPosition() const noexcept { return {x, y}; }
    constexpr bool operator==(const Rectangle& o) const noexcept
    {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
    constexpr bool operator!=(const Rectangle& o) const noexcept { return !(*this == o); }
};

} // namespace q9framework
