#include "Var.h"

namespace q9framework {

Var::Var(const Var& other) { *this = other; }

Var& Var::operator=(const Var& other)
{
    if (this == &other)
        return *this;
    // The copy owns new handles that share the text or bytes; everything else is copied bitwise.
    if (other.type == typeString)
        setString(*other.payload.s);
    else if (other.type == typeMemoryBlock)
        setMemoryBlock(*other.payload.m);
    else {
        clear();
        type = other.type;
        payload = other.payload;
    }
    return *this;
}

Var::~Var() { clear(); }

void Var::clear() noexcept
{
    if (type == typeString)
        delete payload.s;
    else if (type == typeMemoryBlock)
        delete payload.m;
    type = typeNone;
    payload.i64 = 0;
}

void Var::setInt(int32_t v) noexcept { clear(); type = typeInt; payload.i = v; }
void Var::setInt64(int64_t v) noexcept { clear(); type = typeInt64; payload.i64 = v; }
void Var::setDouble(double v) noexcept { clear(); type = typeDouble; payload.d = v; }
void Var::setFloat(float v) noexcept { clear(); type = typeFloat; payload.f = v; }
void Var::setBool(bool v) noexcept { clear(); type = typeBool; payload.b = v; }
void Var::setPointer(void* v) noexcept { clear(); type = typePointer; payload.p = v; }
void Var::setColour(Colour v) noexcept { clear(); type = typeColour; payload.c = v.getARGB(); }

void Var::setString(const String& v)
{
    auto* s = new String(v); // made before clear(), so setting a Var from its own text is safe
    clear();
    type = typeString;
    payload.s = s;
}

void Var::setMemoryBlock(const MemoryBlock& v)
{
    auto* m = new MemoryBlock(v);
    clear();
    type = typeMemoryBlock;
    payload.m = m;
}

} // namespace q9framework
