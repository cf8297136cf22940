#pragma once

// The insides of the CF value objects, shared by the files that implement them (values, URLs,
// property lists). Not for users of the layer: they see only the opaque references of CFValues.h.

#include "auwrapper/platform/CFValues.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace q9framework {
namespace cf {

// The type IDs handed out by the ...GetTypeID functions.
enum class Kind : CFTypeID { string = 1, data, number, boolean, date, array, dictionary, url };

extern std::atomic<long> liveObjects;

// Marks our objects, so a pointer to anything else (another library's values, freed memory) is
// refused instead of being read as ours. Changes with the layout below: a host and a plug-in built
// from this project exchange these objects directly, each with its own copy of this code.
constexpr uint32_t objectMagic = 0x51394346;   // "Q9CF", layout 1

/** The base of every object, always at the address of the reference. Constants ("immortal") ignore
    retain and release and are not counted as live objects. No virtual functions: the code that frees
    an object may be another copy of this layer (host and plug-in each link one), so nothing in the
    object may point into the image that made it. */
struct Object {
    uint32_t magic = objectMagic;
    mutable std::atomic<long> references{1};
    const Kind kind;
    const bool immortal;
    bool isMutable = false;

    constexpr Object(Kind k, bool constant) noexcept : kind(k), immortal(constant)
    {
        if (!constant)
            liveObjects.fetch_add(1, std::memory_order_relaxed);
    }
    ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
};

inline const Object* asObject(CFTypeRef ref) noexcept
{
    const auto* object = static_cast<const Object*>(ref);
    return object != nullptr && object->magic == objectMagic ? object : nullptr;
}

/** The object behind `ref` when it is of `kind`, else null. */
template <typename T>
const T* as(CFTypeRef ref, Kind kind) noexcept
{
    const Object* object = asObject(ref);
    return object != nullptr && object->kind == kind ? static_cast<const T*>(object) : nullptr;
}

struct CFString : Object {
    explicit CFString(bool constant = false) noexcept : Object(Kind::string, constant) {}
    std::string utf8;
};

struct CFData : Object {
    CFData() noexcept : Object(Kind::data, false) {}
    std::vector<UInt8> bytes;
};

struct CFNumber : Object {
    CFNumber() noexcept : Object(Kind::number, false) {}
    bool isFloat = false;
    int64_t integer = 0;
    double real = 0.0;
};

struct CFBoolean : Object {
    constexpr CFBoolean(bool v, bool constant) noexcept : Object(Kind::boolean, constant), value(v) {}
    const bool value;
};

struct CFDate : Object {
    CFDate() noexcept : Object(Kind::date, false) {}
    CFAbsoluteTime at = 0.0;
};

struct CFArray : Object {
    CFArray() noexcept : Object(Kind::array, false) {}
    ~CFArray();
    bool retains = true;
    std::vector<const void*> values;
};

struct CFDictionary : Object {
    CFDictionary() noexcept : Object(Kind::dictionary, false) {}
    ~CFDictionary();
    const std::pair<const void*, const void*>* find(const void* key) const;
    bool retainsKeys = true;
    bool retainsValues = true;
    std::vector<std::pair<const void*, const void*>> entries;   // in the order added
};

struct CFURL : Object {
    CFURL() noexcept : Object(Kind::url, false) {}
    std::string path;
    bool isDirectory = false;
};

} // namespace cf
} // namespace q9framework
