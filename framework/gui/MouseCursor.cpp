#include "framework/gui/MouseCursor.h"

namespace q9framework {
namespace Mouse {

Cursor::Cursor(const Image& image, Point hotSpot)
{
    if (image.isNull())
        return;
    internal = new Internal();
    internal->image = image;
    internal->hotSpot = hotSpot;
}

Cursor::Cursor(const Cursor& other) noexcept : standardIndex(other.standardIndex), internal(other.internal)
{
    if (internal != nullptr)
        internal->incReferenceCount();
}

Cursor& Cursor::operator=(const Cursor& other) noexcept
{
    if (other.internal != nullptr)
        other.internal->incReferenceCount();
    if (internal != nullptr)
        internal->decReferenceCount();
    internal = other.internal;
    standardIndex = other.standardIndex;
    return *this;
}

Cursor::~Cursor()
{
    if (internal != nullptr)
        internal->decReferenceCount();
}

} // namespace Mouse
} // namespace q9framework
