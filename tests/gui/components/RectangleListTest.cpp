#include "framework/gui/RectangleList.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

using namespace q9framework;

namespace {

// The reference: the plain set of pixels, on a small field so random rectangles overlap a lot.
using Pixels = std::set<std::pair<int, int>>;

void addPixels(Pixels& p, Rectangle r, bool on)
{
    for (int y = r.y; y < r.getBottom(); ++y)
        for (int x = r.x; x < r.getRight(); ++x)
            on ? (void)p.insert({x, y}) : (void)p.erase({x, y});
}

Rectangle randomRect(std::mt19937& rng)
{
    std::uniform_int_distribution<int> pos(-4, 36), size(-2, 14);
    return {pos(rng), pos(rng), size(rng), size(rng)};
}

// Checks the list holds exactly these pixels, as disjoint rectangles, with the right bounds.
void expectSame(const RectangleList& list, const Pixels& expected)
{
    Array<Rectangle> rects;
    list.toRectangles(rects);
    Pixels covered;
    size_t area = 0;
    for (const Rectangle& r : rects) {
        ASSERT_FALSE(r.isEmpty());
        addPixels(covered, r, true);
        area += size_t(r.width) * size_t(r.height);
    }
    EXPECT_EQ(area, covered.size()) << "rectangles overlap";
    EXPECT_EQ(covered, expected);
    EXPECT_EQ(list.isEmpty(), expected.empty());
    Rectangle bounds;
    for (const auto& p : expected)
        bounds = bounds.getUnion(Rectangle(p.first, p.second, 1, 1));
    EXPECT_EQ(list.getBounds(), bounds);
    for (int y = -6; y < 52; y += 3)
        for (int x = -6; x < 52; x += 3)
            ASSERT_EQ(list.contains(x, y), expected.count({x, y}) == 1) << x << "," << y;
}

} // namespace

TEST(RectangleList, AddAndSubtractMatchAPixelSet)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 60; ++round) {
        RectangleList list;
        Pixels pixels;
        for (int step = 0; step < 25; ++step) {
            const Rectangle r = randomRect(rng);
            const bool add = (rng() % 3) != 0;
            add ? list.add(r) : list.subtract(r);
            if (!r.isEmpty())
                addPixels(pixels, r, add);
            SCOPED_TRACE(testing::Message() << "round " << round << " step " << step);
            expectSame(list, pixels);
            if (HasFatalFailure())
                return;
        }
    }
}
