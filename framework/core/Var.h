#pragma once
#include "Colour.h"
#include "MemoryBlock.h"
#include "String.h"

#include <cstdint>

namespace q9framework {

/** A tagged value for component properties. Getters answer only when the type matches exactly and
    otherwise return a default; there is no conversion between types. */
class Var {
public:
    enum Type : uint32_t {
        typeNone = 0,
        typeInt = 1,
        typeInt64 = 2,
        typeDouble = 3,
        typeFloat = 4,
        typeString = 5,
        typeBool = 6,
        typePointer = 7,
        typeMemoryBlock = 8,
        typeColour = 9,
    };

    Var() noexcept = default;
    Var(int32_t v) noexcept { setInt(v); }
    Var(int64_t v) noexcept { setInt64(v); }
    Var(double v) noexcept { setDouble(v); }
    Var(float v) noexcept { setFloat(v); }
    Var(const String& v) { setString(v); }
    Var(const char* v) { setString(String(v)); }
    Var(bool v) noexcept { setBool(v); }
    Var(void* v) noexcept { setPointer(v); }
    Var(const MemoryBlock& v) { setMemoryBlock(v); }
    Var(Colour v) noexcept { setColour(v); }
    Var(const Var& other);
    Var& operator=(const Var& other);
    ~Var();

    uint32_t getType() const noexcept { return type; }

    void clear() noexcept;
    void setInt(int32_t v) noexcept;
    void setInt64(int64_t v) noexcept;
    void setDouble(double v) noexcept;
    void setFloat(float v) noexcept;
    void setString(const String& v);
    void setBool(bool v) noexcept;
    void setPointer(void* v) noexcept;
    void setMemoryBlock(const MemoryBlock& v);
    void setColour(Colour v) noexcept;

    int32_t getInt() const noexcept { return type == typeInt ? payload.i : 0; }
    int64_t getInt64() const noexcept { return type == typeInt64 ? payload.i64 : 0; }
    double getDouble() const noexcept { return type == typeDouble ? payload.d : 0.0; }
    float getFloat() const noexcept { return type == typeFloat ? payload.f : 0.0f; }
    String getString() const { return type == typeString ? *payload.s : String(); }
    bool getBool() const noexcept { return type == typeBool && payload.b; }
    void* getPointer() const noexcept { return type == typePointer ? payload.p : nullptr; }
    MemoryBlock getMemoryBlock() const { return type == typeMemoryBlock ? *payload.m : MemoryBlock(); }
    Colour getColour() const noexcept { return type == typeColour ? Colour::fromARGB(payload.c) : Colour(); }

private:
    uint32_t type = typeNone;
    union Payload {
        int32_t i;
        int64_t i64;
        double d;
        float f;
        String* s;
        bool b;
        void* p;
        MemoryBlock* m;
        uint32_t c;
    } payload{};
};

} // namespace q9framework
