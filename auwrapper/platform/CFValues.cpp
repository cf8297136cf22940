// The value objects behind the CF references. Every reference points at an Object base (the first and
// only base of each kind, so its address is the reference); the kind decides how it is freed and
// compared. Strings live in CFString.cpp, URLs in CFURL.cpp, property lists in CFPropertyList.cpp.

#include "auwrapper/platform/CFValues.h"

#include "auwrapper/platform/CFValuesInternal.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace q9framework {
namespace cf {

std::atomic<long> liveObjects{0};

namespace {

// Constants report this many references, so code that checks counts sees them as held.
constexpr CFIndex immortalCount = LONG_MAX / 2;

} // namespace

Object::~Object()
{
    magic = 0;   // a release too many then finds no object instead of freeing twice, most of the time
    if (!immortal)
        liveObjects.fetch_sub(1, std::memory_order_relaxed);
}

long liveObjectCount()
{
    return liveObjects.load(std::memory_order_relaxed);
}

// ---- kinds -------------------------------------------------------------------------------------------

CFArray::~CFArray()
{
    if (retains)
        for (const void* value : values)
            CFRelease(value);
}

CFDictionary::~CFDictionary()
{
    for (const auto& entry : entries) {
        if (retainsKeys)
            CFRelease(entry.first);
        if (retainsValues)
            CFRelease(entry.second);
    }
}

namespace {

void destroy(const Object* object)
{
    switch (object->kind) {
    case Kind::string: delete static_cast<const CFString*>(object); break;
    case Kind::data: delete static_cast<const CFData*>(object); break;
    case Kind::number: delete static_cast<const CFNumber*>(object); break;
    case Kind::boolean: delete static_cast<const CFBoolean*>(object); break;
    case Kind::date: delete static_cast<const CFDate*>(object); break;
    case Kind::array: delete static_cast<const CFArray*>(object); break;
    case Kind::dictionary: delete static_cast<const CFDictionary*>(object); break;
    case Kind::url: delete static_cast<const CFURL*>(object); break;
    }
}

template <typename T>
T* asMutable(const void* ref, Kind kind) noexcept
{
    const T* object = as<T>(ref, kind);
    return object != nullptr && object->isMutable ? const_cast<T*>(object) : nullptr;
}

const CFString* stringOf(CFTypeRef ref) noexcept { return as<CFString>(ref, Kind::string); }
const CFData* dataOf(CFTypeRef ref) noexcept { return as<CFData>(ref, Kind::data); }
const CFNumber* numberOf(CFTypeRef ref) noexcept { return as<CFNumber>(ref, Kind::number); }
const CFArray* arrayOf(CFTypeRef ref) noexcept { return as<CFArray>(ref, Kind::array); }
const CFDictionary* dictionaryOf(CFTypeRef ref) noexcept { return as<CFDictionary>(ref, Kind::dictionary); }
const CFURL* urlOf(CFTypeRef ref) noexcept { return as<CFURL>(ref, Kind::url); }

} // namespace

// ---- every object --------------------------------------------------------------------------------

CFTypeRef CFRetain(CFTypeRef ref)
{
    const Object* object = asObject(ref);
    if (object != nullptr && !object->immortal)
        object->references.fetch_add(1, std::memory_order_relaxed);
    return ref;
}

void CFRelease(CFTypeRef ref)
{
    const Object* object = asObject(ref);
    if (object == nullptr || object->immortal)
        return;
    if (object->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        destroy(object);
}

CFIndex CFGetRetainCount(CFTypeRef ref)
{
    const Object* object = asObject(ref);
    if (object == nullptr)
        return 0;
    return object->immortal ? immortalCount : object->references.load(std::memory_order_relaxed);
}

CFTypeID CFGetTypeID(CFTypeRef ref)
{
    const Object* object = asObject(ref);
    return object != nullptr ? static_cast<CFTypeID>(object->kind) : 0;
}

CFTypeID CFStringGetTypeID() { return static_cast<CFTypeID>(Kind::string); }
CFTypeID CFDataGetTypeID() { return static_cast<CFTypeID>(Kind::data); }
CFTypeID CFNumberGetTypeID() { return static_cast<CFTypeID>(Kind::number); }
CFTypeID CFBooleanGetTypeID() { return static_cast<CFTypeID>(Kind::boolean); }
CFTypeID CFDateGetTypeID() { return static_cast<CFTypeID>(Kind::date); }
CFTypeID CFArrayGetTypeID() { return static_cast<CFTypeID>(Kind::array); }
CFTypeID CFDictionaryGetTypeID() { return static_cast<CFTypeID>(Kind::dictionary); }
CFTypeID CFURLGetTypeID() { return static_cast<CFTypeID>(Kind::url); }

namespace {

bool numbersEqual(const CFNumber& a, const CFNumber& b)
{
    if (!a.isFloat && !b.isFloat)
        return a.integer == b.integer;
    const double x = a.isFloat ? a.real : static_cast<double>(a.integer);
    const double y = b.isFloat ? b.real : static_cast<double>(b.integer);
    return x == y;
}

bool elementsEqual(const void* a, const void* b, bool areObjects)
{
    return areObjects ? CFEqual(a, b) != 0 : a == b;
}

} // namespace

Boolean CFEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return true;
    const Object* x = asObject(a);
    const Object* y = asObject(b);
    if (x == nullptr || y == nullptr || x->kind != y->kind)
        return false;
    switch (x->kind) {
    case Kind::string: return stringOf(a)->utf8 == stringOf(b)->utf8;
    case Kind::data: return dataOf(a)->bytes == dataOf(b)->bytes;
    case Kind::number: return numbersEqual(*numberOf(a), *numberOf(b));
    case Kind::boolean: return static_cast<const CFBoolean*>(x)->value == static_cast<const CFBoolean*>(y)->value;
    case Kind::date: return static_cast<const CFDate*>(x)->at == static_cast<const CFDate*>(y)->at;
    case Kind::url: return urlOf(a)->path == urlOf(b)->path;
    case Kind::array: {
        const CFArray* p = arrayOf(a);
        const CFArray* q = arrayOf(b);
        if (p->values.size() != q->values.size())
            return false;
        for (size_t i = 0; i < p->values.size(); ++i)
            if (!elementsEqual(p->values[i], q->values[i], p->retains && q->retains))
                return false;
        return true;
    }
    case Kind::dictionary: {
        const CFDictionary* p = dictionaryOf(a);
        const CFDictionary* q = dictionaryOf(b);
        if (p->entries.size() != q->entries.size())
            return false;
        for (const auto& entry : p->entries) {
            const auto* other = q->find(entry.first);
            if (other == nullptr || !elementsEqual(entry.second, other->second, p->retainsValues && q->retainsValues))
                return false;
        }
        return true;
    }
    }
    return false;
}

// ---- data ------------------------------------------------------------------------------------------

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
    if (length < 0 || (bytes == nullptr && length > 0))
        return nullptr;
    auto* data = new CFData;
    data->bytes.assign(bytes, bytes + length);
    return data;
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex capacity)
{
    auto* data = new CFData;
    data->isMutable = true;
    if (capacity > 0)
        data->bytes.reserve(static_cast<size_t>(capacity));
    return data;
}

CFIndex CFDataGetLength(CFDataRef ref)
{
    const CFData* data = dataOf(ref);
    return data != nullptr ? static_cast<CFIndex>(data->bytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef ref)
{
    const CFData* data = dataOf(ref);
    return data != nullptr && !data->bytes.empty() ? data->bytes.data() : nullptr;
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef ref)
{
    CFData* data = asMutable<CFData>(ref, Kind::data);
    return data != nullptr && !data->bytes.empty() ? data->bytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef ref, CFRange range, UInt8* buffer)
{
    const CFData* data = dataOf(ref);
    if (data == nullptr || buffer == nullptr || range.location < 0 || range.length < 0
        || range.location + range.length > static_cast<CFIndex>(data->bytes.size()))
        return;
    std::memcpy(buffer, data->bytes.data() + range.location, static_cast<size_t>(range.length));
}

void CFDataAppendBytes(CFMutableDataRef ref, const UInt8* bytes, CFIndex length)
{
    CFData* data = asMutable<CFData>(ref, Kind::data);
    if (data == nullptr || bytes == nullptr || length <= 0)
        return;
    data->bytes.insert(data->bytes.end(), bytes, bytes + length);
}

void CFDataSetLength(CFMutableDataRef ref, CFIndex length)
{
    CFData* data = asMutable<CFData>(ref, Kind::data);
    if (data != nullptr && length >= 0)
        data->bytes.resize(static_cast<size_t>(length), 0);
}

// ---- numbers, booleans, dates ---------------------------------------------------------------------

namespace {

// What a CFNumberType means in memory on this platform (LP64: long, CFIndex and NSInteger are 64-bit).
enum class Storage { none, i8, i16, i32, i64, f32, f64 };

Storage storageOf(CFNumberType type)
{
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: return Storage::i8;
    case kCFNumberSInt16Type:
    case kCFNumberShortType: return Storage::i16;
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return Storage::i32;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return Storage::i64;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: return Storage::f32;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return Storage::f64;
    default: return Storage::none;
    }
}

template <typename T>
T read(const void* p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

template <typename T>
bool storeInteger(const CFNumber& number, void* p)
{
    T value;
    bool exact;
    if (number.isFloat) {
        // -min is 2^(bits-1) exactly, so this bound also holds where max itself is not representable.
        const double real = number.real;
        const bool inRange = std::isfinite(real) && real >= static_cast<double>(std::numeric_limits<T>::min())
            && real < -static_cast<double>(std::numeric_limits<T>::min());
        value = inRange ? static_cast<T>(real) : (real < 0 ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max());
        exact = inRange && static_cast<double>(value) == real;
    } else {
        value = static_cast<T>(number.integer);
        exact = static_cast<int64_t>(value) == number.integer;
    }
    std::memcpy(p, &value, sizeof(T));
    return exact;
}

template <typename T>
bool storeReal(const CFNumber& number, void* p)
{
    T value;
    bool exact;
    if (number.isFloat) {
        const double real = number.real;
        if (std::isfinite(real) && std::fabs(real) > static_cast<double>(std::numeric_limits<T>::max()))
            value = real < 0 ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
        else
            value = static_cast<T>(real);
        exact = std::isnan(real) || static_cast<double>(value) == real;
    } else {
        // Integers up to 2^digits in magnitude have an exact floating-point form.
        value = static_cast<T>(number.integer);
        const uint64_t magnitude = number.integer < 0 ? 0 - static_cast<uint64_t>(number.integer)
                                                      : static_cast<uint64_t>(number.integer);
        exact = magnitude <= (uint64_t(1) << std::numeric_limits<T>::digits);
    }
    std::memcpy(p, &value, sizeof(T));
    return exact;
}

} // namespace

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* p)
{
    const Storage storage = storageOf(type);
    if (p == nullptr || storage == Storage::none)
        return nullptr;
    auto* number = new CFNumber;
    number->isFloat = storage == Storage::f32 || storage == Storage::f64;
    switch (storage) {
    case Storage::i8: number->integer = read<int8_t>(p); break;
    case Storage::i16: number->integer = read<int16_t>(p); break;
    case Storage::i32: number->integer = read<int32_t>(p); break;
    case Storage::i64: number->integer = read<int64_t>(p); break;
    case Storage::f32: number->real = read<float>(p); break;
    case Storage::f64: number->real = read<double>(p); break;
    case Storage::none: break;
    }
    return number;
}

Boolean CFNumberGetValue(CFNumberRef ref, CFNumberType type, void* p)
{
    const CFNumber* number = numberOf(ref);
    if (number == nullptr || p == nullptr)
        return false;
    switch (storageOf(type)) {
    case Storage::i8: return storeInteger<int8_t>(*number, p);
    case Storage::i16: return storeInteger<int16_t>(*number, p);
    case Storage::i32: return storeInteger<int32_t>(*number, p);
    case Storage::i64: return storeInteger<int64_t>(*number, p);
    case Storage::f32: return storeReal<float>(*number, p);
    case Storage::f64: return storeReal<double>(*number, p);
    case Storage::none: return false;
    }
    return false;
}

CFNumberType CFNumberGetType(CFNumberRef ref)
{
    const CFNumber* number = numberOf(ref);
    if (number == nullptr)
        return 0;
    return number->isFloat ? kCFNumberFloat64Type : kCFNumberSInt64Type;
}

Boolean CFNumberIsFloatType(CFNumberRef ref)
{
    const CFNumber* number = numberOf(ref);
    return number != nullptr && number->isFloat;
}

// Constant-initialised, so they are valid even in other files' static initialisers.
static CFBoolean trueObject{true, true};
static CFBoolean falseObject{false, true};
const CFBooleanRef kCFBooleanTrue = &trueObject;
const CFBooleanRef kCFBooleanFalse = &falseObject;

Boolean CFBooleanGetValue(CFBooleanRef ref)
{
    const auto* boolean = as<CFBoolean>(ref, Kind::boolean);
    return boolean != nullptr && boolean->value;
}

CFDateRef CFDateCreate(CFAllocatorRef, CFAbsoluteTime at)
{
    auto* date = new CFDate;
    date->at = at;
    return date;
}

CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef ref)
{
    const auto* date = as<CFDate>(ref, Kind::date);
    return date != nullptr ? date->at : 0.0;
}

// ---- arrays ----------------------------------------------------------------------------------------

const CFArrayCallBacks kCFTypeArrayCallBacks = {0};

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex count, const CFArrayCallBacks* callBacks)
{
    if (count < 0 || (values == nullptr && count > 0))
        return nullptr;
    auto* array = new CFArray;
    array->retains = callBacks != nullptr;
    for (CFIndex i = 0; i < count; ++i) {
        if (array->retains)
            CFRetain(values[i]);
        array->values.push_back(values[i]);
    }
    return array;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks* callBacks)
{
    auto* array = new CFArray;
    array->isMutable = true;
    array->retains = callBacks != nullptr;
    if (capacity > 0)
        array->values.reserve(static_cast<size_t>(capacity));
    return array;
}

CFIndex CFArrayGetCount(CFArrayRef ref)
{
    const CFArray* array = arrayOf(ref);
    return array != nullptr ? static_cast<CFIndex>(array->values.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef ref, CFIndex index)
{
    const CFArray* array = arrayOf(ref);
    if (array == nullptr || index < 0 || index >= static_cast<CFIndex>(array->values.size()))
        return nullptr;
    return array->values[static_cast<size_t>(index)];
}

void CFArrayAppendValue(CFMutableArrayRef ref, const void* value)
{
    CFArray* array = asMutable<CFArray>(ref, Kind::array);
    if (array == nullptr)
        return;
    if (array->retains)
        CFRetain(value);
    array->values.push_back(value);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef ref, CFIndex index)
{
    CFArray* array = asMutable<CFArray>(ref, Kind::array);
    if (array == nullptr || index < 0 || index >= static_cast<CFIndex>(array->values.size()))
        return;
    const void* removed = array->values[static_cast<size_t>(index)];
    array->values.erase(array->values.begin() + index);
    if (array->retains)
        CFRelease(removed);
}

void CFArrayRemoveAllValues(CFMutableArrayRef ref)
{
    CFArray* array = asMutable<CFArray>(ref, Kind::array);
    if (array == nullptr)
        return;
    std::vector<const void*> removed;
    removed.swap(array->values);
    if (array->retains)
        for (const void* value : removed)
            CFRelease(value);
}

// ---- dictionaries ----------------------------------------------------------------------------------

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {0};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0};

const std::pair<const void*, const void*>* CFDictionary::find(const void* key) const
{
    for (const auto& entry : entries)
        if (retainsKeys ? CFEqual(entry.first, key) != 0 : entry.first == key)
            return &entry;
    return nullptr;
}

namespace {

void setValue(CFDictionary& dictionary, const void* key, const void* value, bool replace)
{
    auto* existing = const_cast<std::pair<const void*, const void*>*>(dictionary.find(key));
    if (existing != nullptr) {
        if (!replace)
            return;
        if (dictionary.retainsValues)
            CFRetain(value);
        const void* old = existing->second;
        existing->second = value;
        if (dictionary.retainsValues)
            CFRelease(old);
        return;
    }
    if (dictionary.retainsKeys)
        CFRetain(key);
    if (dictionary.retainsValues)
        CFRetain(value);
    dictionary.entries.emplace_back(key, value);
}

} // namespace

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex count,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks)
{
    if (count < 0 || (count > 0 && (keys == nullptr || values == nullptr)))
        return nullptr;
    auto* dictionary = new CFDictionary;
    dictionary->retainsKeys = keyCallBacks != nullptr;
    dictionary->retainsValues = valueCallBacks != nullptr;
    for (CFIndex i = 0; i < count; ++i)
        setValue(*dictionary, keys[i], values[i], true);
    return dictionary;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks)
{
    auto* dictionary = new CFDictionary;
    dictionary->isMutable = true;
    dictionary->retainsKeys = keyCallBacks != nullptr;
    dictionary->retainsValues = valueCallBacks != nullptr;
    if (capacity > 0)
        dictionary->entries.reserve(static_cast<size_t>(capacity));
    return dictionary;
}

CFIndex CFDictionaryGetCount(CFDictionaryRef ref)
{
    const CFDictionary* dictionary = dictionaryOf(ref);
    return dictionary != nullptr ? static_cast<CFIndex>(dictionary->entries.size()) : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef ref, const void* key)
{
    const CFDictionary* dictionary = dictionaryOf(ref);
    if (dictionary == nullptr)
        return nullptr;
    const auto* entry = dictionary->find(key);
    return entry != nullptr ? entry->second : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef ref, const void* key, const void** value)
{
    const CFDictionary* dictionary = dictionaryOf(ref);
    const auto* entry = dictionary != nullptr ? dictionary->find(key) : nullptr;
    if (entry == nullptr)
        return false;
    if (value != nullptr)
        *value = entry->second;
    return true;
}

const void* getRequiredValue(CFDictionaryRef dictionary, const char* key, CFTypeID type, RequiredValue* how)
{
    const void* value = CFDictionaryGetValue(dictionary, constantString(key));
    const RequiredValue found = value == nullptr               ? RequiredValue::missing
                                : CFGetTypeID(value) != type ? RequiredValue::wrongType
                                                               : RequiredValue::found;
    if (how != nullptr)
        *how = found;
    return found == RequiredValue::found ? value : nullptr;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef ref, const void* key)
{
    const CFDictionary* dictionary = dictionaryOf(ref);
    return dictionary != nullptr && dictionary->find(key) != nullptr;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef ref, const void** keys, const void** values)
{
    const CFDictionary* dictionary = dictionaryOf(ref);
    if (dictionary == nullptr)
        return;
    for (size_t i = 0; i < dictionary->entries.size(); ++i) {
        if (keys != nullptr)
            keys[i] = dictionary->entries[i].first;
        if (values != nullptr)
            values[i] = dictionary->entries[i].second;
    }
}

void CFDictionarySetValue(CFMutableDictionaryRef ref, const void* key, const void* value)
{
    if (CFDictionary* dictionary = asMutable<CFDictionary>(ref, Kind::dictionary))
        setValue(*dictionary, key, value, true);
}

void CFDictionaryAddValue(CFMutableDictionaryRef ref, const void* key, const void* value)
{
    if (CFDictionary* dictionary = asMutable<CFDictionary>(ref, Kind::dictionary))
        setValue(*dictionary, key, value, false);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef ref, const void* key)
{
    CFDictionary* dictionary = asMutable<CFDictionary>(ref, Kind::dictionary);
    if (dictionary == nullptr)
        return;
    const auto* entry = dictionary->find(key);
    if (entry == nullptr)
        return;
    const auto removed = *entry;
    dictionary->entries.erase(dictionary->entries.begin() + (entry - dictionary->entries.data()));
    if (dictionary->retainsKeys)
        CFRelease(removed.first);
    if (dictionary->retainsValues)
        CFRelease(removed.second);
}

} // namespace cf
} // namespace q9framework
