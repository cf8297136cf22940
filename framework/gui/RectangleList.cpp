#include "framework/gui/RectangleList.h"

#include <algorithm>

namespace q9framework {

namespace {

bool sameIntervals(const Array<int32_t>& a, const Array<int32_t>& b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace

RectangleList::RectangleList(const RectangleList& other)
{
    *this = other;
}

RectangleList& RectangleList::operator=(const RectangleList& other)
{
    if (this == &other)
        return *this;
    clear();
    for (int i = 0; i < other.xs.size(); ++i)
        xs.add(other.xs[i]);
    for (int i = 0; i < other.bands.size(); ++i)
        bands.add(copyBand(*other.bands[i]));
    return *this;
}

RectangleList::~RectangleList()
{
    clear();
    while (freeList != nullptr) {
        Band* next = freeList->nextFree;
        delete freeList;
        freeList = next;
    }
}

RectangleList::Band* RectangleList::newBand()
{
    if (freeList == nullptr)
        return new Band();
    Band* b = freeList;
    freeList = b->nextFree;
    b->nextFree = nullptr;
    b->intervals.clear();
    return b;
}

RectangleList::Band* RectangleList::copyBand(const Band& source)
{
    Band* b = newBand();
    for (int i = 0; i < source.intervals.size(); ++i)
        b->intervals.add(source.intervals[i]);
    return b;
}

void RectangleList::freeBand(Band* b) noexcept
{
    b->nextFree = freeList;
    freeList = b;
}

void RectangleList::clear() noexcept
{
    for (int i = 0; i < bands.size(); ++i)
        freeBand(bands[i]);
    bands.clear();
    xs.clear();
}

int RectangleList::splitAt(int32_t x)
{
    if (x < xs[0]) {
        xs.insert(0, x);
        bands.insert(0, newBand());
        return 0;
    }
    const int last = xs.size() - 1;
    if (x > xs[last]) {
        xs.add(x);
        bands.add(newBand());
        return last + 1;
    }
    const int32_t* found = std::lower_bound(xs.begin(), xs.end(), x);
    const int i = static_cast<int>(found - xs.begin());
    if (xs[i] == x)
        return i;
    // x lies inside band i - 1: both halves start with its intervals.
    xs.insert(i, x);
    bands.insert(i, copyBand(*bands[i - 1]));
    return i;
}

void RectangleList::normalise()
{
    for (int i = 0; i + 1 < bands.size();) {
        if (sameIntervals(bands[i]->intervals, bands[i + 1]->intervals)) {
            freeBand(bands[i + 1]);
            bands.remove(i + 1);
            xs.remove(i + 1);
        } else {
            ++i;
        }
    }
    while (!bands.isEmpty() && bands[0]->intervals.isEmpty()) {
        freeBand(bands[0]);
        bands.remove(0);
        xs.remove(0);
    }
    while (!bands.isEmpty() && bands[bands.size() - 1]->intervals.isEmpty()) {
        freeBand(bands[bands.size() - 1]);
        bands.remove(bands.size() - 1);
        xs.remove(xs.size() - 1);
    }
    if (bands.isEmpty())
        xs.clear();
}

void RectangleList::addInterval(Array<int32_t>& list, int32_t top, int32_t bottom)
{
    const int pairs = list.size() / 2;
    int first = 0;      // first interval that reaches top (touching counts, so they merge)
    while (first < pairs && list[2 * first + 1] < top)
        ++first;
    int last = first - 1;    // last interval that starts at or above bottom
    while (last + 1 < pairs && list[2 * (last + 1)] <= bottom)
        ++last;
    if (last < first) {
        list.insert(2 * first, bottom);
        list.insert(2 * first, top);
        return;
    }
    list[2 * first] = std::min(top, list[2 * first]);
    list[2 * first + 1] = std::max(bottom, list[2 * last + 1]);
    list.removeRange(2 * first + 2, 2 * (last - first));
}

void RectangleList::subtractInterval(Array<int32_t>& list, int32_t top, int32_t bottom)
{
    for (int k = list.size() / 2 - 1; k >= 0; --k) {
        const int32_t t = list[2 * k], b = list[2 * k + 1];
        if (b <= top || t >= bottom)
            continue;
        if (t < top && b > bottom) {
            list[2 * k + 1] = top;
            list.insert(2 * k + 2, b);
            list.insert(2 * k + 2, bottom);
        } else if (t < top) {
            list[2 * k + 1] = top;
        } else if (b > bottom) {
            list[2 * k] = bottom;
        } else {
            list.removeRange(2 * k, 2);
        }
    }
}

void RectangleList::add(const Rectangle& r)
{
    if (r.isEmpty())
        return;
    if (xs.isEmpty()) {
        xs.add(r.x);
        xs.add(r.getRight());
        Band* b = newBand();
        b->intervals.add(r.y);
        b->intervals.add(r.getBottom());
        bands.add(b);
        return;
    }
    const int left = splitAt(r.x);
    const int right = splitAt(r.getRight());
    for (int i = left; i < right; ++i)
        addInterval(bands[i]->intervals, r.y, r.getBottom());
    normalise();
}

void RectangleList::subtract(const Rectangle& r)
{
    if (r.isEmpty() || xs.isEmpty())
        return;
    const int32_t l = std::max(r.x, xs[0]), rr = std::min(r.getRight(), xs[xs.size() - 1]);
    if (l >= rr)
        return;
    const int left = splitAt(l);
    const int right = splitAt(rr);
    for (int i = left; i < right; ++i)
        subtractInterval(bands[i]->intervals, r.y, r.getBottom());
    normalise();
}

void RectangleList::add(const RectangleList& other)
{
    if (&other == this)
        return;
    for (int i = 0; i < other.bands.size(); ++i) {
        const Array<int32_t>& iv = other.bands[i]->intervals;
        for (int k = 0; k + 1 < iv.size(); k += 2)
            add(Rectangle(other.xs[i], iv[k], other.xs[i + 1] - other.xs[i], iv[k + 1] - iv[k]));
    }
}

void RectangleList::subtract(const RectangleList& other)
{
    if (&other == this) {
        clear();
        return;
    }
    for (int i = 0; i < other.bands.size() && !isEmpty(); ++i) {
        const Array<int32_t>& iv = other.bands[i]->intervals;
        for (int k = 0; k + 1 < iv.size(); k += 2)
            subtract(Rectangle(other.xs[i], iv[k], other.xs[i + 1] - other.xs[i], iv[k + 1] - iv[k]));
    }
}

void RectangleList::intersectInto(const Rectangle& r, RectangleList& out) const
{
    out.clear();
    if (r.isEmpty() || &out == this)
        return;
    for (int i = 0; i < bands.size(); ++i) {
        const int32_t x0 = std::max(xs[i], r.x), x1 = std::min(xs[i + 1], r.getRight());
        if (x0 >= x1)
            continue;
        Band* clipped = out.newBand();
        const Array<int32_t>& iv = bands[i]->intervals;
        for (int k = 0; k + 1 < iv.size(); k += 2) {
            const int32_t t = std::max(iv[k], r.y), b = std::min(iv[k + 1], r.getBottom());
            if (t < b) {
                clipped->intervals.add(t);
                clipped->intervals.add(b);
            }
        }
        if (clipped->intervals.isEmpty()) {
            out.freeBand(clipped);
            continue;
        }
        if (out.xs.isEmpty()) {
            out.xs.add(x0);
        } else if (out.xs[out.xs.size() - 1] != x0) {
            out.bands.add(out.newBand());    // a gap between the clipped bands
            out.xs.add(x0);
        }
        out.bands.add(clipped);
        out.xs.add(x1);
    }
    out.normalise();
}

void RectangleList::translate(int32_t dx, int32_t dy) noexcept
{
    for (int32_t& x : xs)
        x += dx;
    if (dy != 0)
        for (Band* b : bands)
            for (int32_t& v : b->intervals)
                v += dy;
}

void RectangleList::moveArea(const Rectangle& area, int32_t dx, int32_t dy)
{
    RectangleList moved;
    intersectInto(area, moved);
    if (moved.isEmpty())
        return;
    subtract(area);
    moved.translate(dx, dy);
    add(moved);
}

Rectangle RectangleList::getBounds() const noexcept
{
    if (xs.isEmpty())
        return {};
    int32_t top = 0, bottom = 0;
    bool any = false;
    for (const Band* b : bands) {
        if (b->intervals.isEmpty())
            continue;
        const int32_t t = b->intervals[0], bt = b->intervals[b->intervals.size() - 1];
        top = any ? std::min(top, t) : t;
        bottom = any ? std::max(bottom, bt) : bt;
        any = true;
    }
    return {xs[0], top, xs[xs.size() - 1] - xs[0], bottom - top};
}

bool RectangleList::contains(int32_t x, int32_t y) const noexcept
{
    if (xs.isEmpty() || x < xs[0] || x >= xs[xs.size() - 1])
        return false;
    const int i = static_cast<int>(std::upper_bound(xs.begin(), xs.end(), x) - xs.begin()) - 1;
    const Array<int32_t>& iv = bands[i]->intervals;
    for (int k = 0; k + 1 < iv.size(); k += 2)
        if (iv[k] <= y && y < iv[k + 1])
            return true;
    return false;
}

bool RectangleList::intersects(const Rectangle& r) const noexcept
{
    if (r.isEmpty())
        return false;
    for (int i = 0; i < bands.size(); ++i) {
        if (xs[i + 1] <= r.x || xs[i] >= r.getRight())
            continue;
        const Array<int32_t>& iv = bands[i]->intervals;
        for (int k = 0; k + 1 < iv.size(); k += 2)
            if (iv[k] < r.getBottom() && iv[k + 1] > r.y)
                return true;
    }
    return false;
}

void RectangleList::toRectangles(Array<Rectangle>& out) const
{
    for (int i = 0; i < bands.size(); ++i) {
        const Array<int32_t>& iv = bands[i]->intervals;
        for (int k = 0; k + 1 < iv.size(); k += 2)
            out.add(Rectangle(xs[i], iv[k], xs[i + 1] - xs[i], iv[k + 1] - iv[k]));
    }
}

int RectangleList::getNumRectangles() const noexcept
{
    int n = 0;
    for (const Band* b : bands)
        n += b->intervals.size() / 2;
    return n;
}

} // namespace q9framework
