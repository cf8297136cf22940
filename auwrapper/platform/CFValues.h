#pragma once

// The Core Foundation values the Audio Unit wrapper trades with its host, on Linux: dictionaries,
// arrays, strings, data, numbers, booleans, dates and file URLs, plus XML property lists (through
// libplist). The names are Core Foundation's, inside namespace q9framework::cf, so wrapper code reads
// as it would on the Mac (`using namespace q9framework::cf;`) and nothing clashes with a host's symbols.
//
// Ownership follows Core Foundation's rules:
// - a function whose name contains "Create" or "Copy" hands the caller a reference to release with
//   CFRelease; every other function returning a value ("Get") lends it, valid while its owner lives;
// - CFRetain adds a reference, CFRelease drops one, the last one frees the object;
// - containers created with the kCFType... callbacks retain what they hold and release it when removed
//   or freed; created with null callbacks they hold raw pointers and never touch them (the wrapper's
//   factory preset array of AUPreset pointers is such an array);
// - CFSTR("...") constants and kCFBooleanTrue/False are never freed; retaining and releasing them is
//   allowed and changes nothing. (So an image that is unloaded leaves its CFSTR strings behind: a few
//   hundred bytes per load, the price of constants that no unbalanced release can free.)
// CFRef<T> below holds one reference and releases it in its destructor, for exception-safe code.
//
// Bad input never crashes, where Core Foundation would trap: null arguments, wrong types and indices
// out of range make a function return null / 0 / false and change nothing. CFRelease(nullptr) is a
// no-op. Only running out of memory throws (std::bad_alloc, which the wrapper reports as memFullErr).
//
// Across images: a host and a plug-in each link their own copy of this layer and hand objects to each
// other (class-info dictionaries, preset names, value strings). Either copy may retain, read and free
// the other's objects. Two consequences:
// - compare values with CFEqual, CFStringCompare or CFBooleanGetValue, never by address: each copy
//   has its own kCFBooleanTrue and its own CFSTR constants;
// - liveObjectCount counts what this copy made minus what it freed, so leak checks belong on one side.
// Release what came from a plug-in before unloading it: its constants live in its image.
//
// Threads: reference counts are atomic, so objects may be retained and released on any thread. An
// object being changed (a mutable container or data) must not be read by another thread meanwhile.
// Nothing here is for the audio path: creating objects allocates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace q9framework {
namespace cf {

// Scalar types as Core Foundation declares them on 64-bit platforms.
typedef uint8_t Boolean;
typedef uint8_t UInt8;
typedef uint16_t UniChar;
typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFOptionFlags;
typedef uint32_t CFStringEncoding;
typedef double CFTimeInterval;
typedef double CFAbsoluteTime;   // seconds since 2001-01-01 00:00:00 UTC

struct CFRange {
    CFIndex location;
    CFIndex length;
};
inline CFRange CFRangeMake(CFIndex location, CFIndex length) { return {location, length}; }

// The objects behind the references; their insides are private to the implementation.
struct CFString;
struct CFData;
struct CFNumber;
struct CFBoolean;
struct CFDate;
struct CFArray;
struct CFDictionary;
struct CFURL;
struct CFAllocator;

typedef const void* CFTypeRef;
typedef const void* CFPropertyListRef;
typedef const CFString* CFStringRef;
typedef const CFData* CFDataRef;
typedef CFData* CFMutableDataRef;
typedef const CFNumber* CFNumberRef;
typedef const CFBoolean* CFBooleanRef;
typedef const CFDate* CFDateRef;
typedef const CFArray* CFArrayRef;
typedef CFArray* CFMutableArrayRef;
typedef const CFDictionary* CFDictionaryRef;
typedef CFDictionary* CFMutableDictionaryRef;
typedef const CFURL* CFURLRef;
typedef const CFAllocator* CFAllocatorRef;   // accepted and ignored: there is one allocator

constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;
constexpr CFIndex kCFNotFound = -1;

// ---- every object --------------------------------------------------------------------------------

/** Adds a reference and returns `object` (null stays null). */
CFTypeRef CFRetain(CFTypeRef object);
/** Drops a reference; the last one frees the object. Null is ignored. */
void CFRelease(CFTypeRef object);
/** The references held; 0 for null. Constants report a large fixed number. For tests and checks. */
CFIndex CFGetRetainCount(CFTypeRef object);
/** The object's type, to compare with the ...GetTypeID functions; 0 for null. */
CFTypeID CFGetTypeID(CFTypeRef object);
/** Value equality: same type and same contents (containers compare element by element, numbers by
    value whether stored as integer or real). Two nulls are equal; null and an object are not. */
Boolean CFEqual(CFTypeRef a, CFTypeRef b);

CFTypeID CFStringGetTypeID();
CFTypeID CFDataGetTypeID();
CFTypeID CFNumberGetTypeID();
CFTypeID CFBooleanGetTypeID();
CFTypeID CFDateGetTypeID();
CFTypeID CFArrayGetTypeID();
CFTypeID CFDictionaryGetTypeID();
CFTypeID CFURLGetTypeID();

/** Objects of this layer currently alive in the process (constants not counted). Tests compare it
    before and after a piece of work to prove that every Create and Copy was released. */
long liveObjectCount();

// ---- strings ---------------------------------------------------------------------------------------

enum : CFStringEncoding {
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUTF8 = 0x08000100,
};

/** A string from `text` in `encoding` (MacRoman, ISOLatin1, ASCII or UTF8). Null when `text` is null,
    is not valid in that encoding, or the encoding is another one. */
CFStringRef CFStringCreateWithCString(CFAllocatorRef allocator, const char* text, CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef allocator, const UInt8* bytes, CFIndex byteCount,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
/** From UTF-16 code units; an unpaired surrogate makes it null. */
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef allocator, const UniChar* characters, CFIndex count);
/** The length in UTF-16 code units, as on the Mac. */
CFIndex CFStringGetLength(CFStringRef string);
/** Copies the UTF-16 code units of `range` (which must lie inside the string; else nothing). */
void CFStringGetCharacters(CFStringRef string, CFRange range, UniChar* buffer);
/** Writes the string and a terminating NUL into `buffer` of `bufferSize` bytes. False (and an empty
    buffer when it has room for the NUL) when it does not fit or a character has no code in `encoding`. */
Boolean CFStringGetCString(CFStringRef string, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
/** The string's own UTF-8 text for kCFStringEncodingUTF8 (valid while the string lives), else null. */
const char* CFStringGetCStringPtr(CFStringRef string, CFStringEncoding encoding);
/** Bytes enough for `length` UTF-16 code units in `encoding` (without the NUL). */
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);

typedef CFIndex CFComparisonResult;
enum : CFComparisonResult { kCFCompareLessThan = -1, kCFCompareEqualTo = 0, kCFCompareGreaterThan = 1 };
enum : CFOptionFlags { kCFCompareCaseInsensitive = 1, kCFCompareNumerically = 64 };
/** Orders two strings by code points; kCFCompareCaseInsensitive folds ASCII letters, and
    kCFCompareNumerically compares runs of digits by their value ("8.0.10" after "8.0.9"). Null sorts
    before every string. */
CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options);

/** The UTF-8 text of `string` (empty for null or another type). Our own convenience. */
std::string toStdString(CFStringRef string);
/** A new string from UTF-8 text (Create rule); null when it is not valid UTF-8. Our own convenience. */
CFStringRef createString(const std::string& utf8);
/** A new string from text that is UTF-8 when it is valid as such, else Mac Roman (Create rule) - how
    names from VST effects and resource files are read. Our own convenience. */
CFStringRef createStringUTF8OrMacRoman(const std::string& text);

/** The immortal string behind CFSTR; equal literals share one object. */
CFStringRef constantString(const char* utf8);
#define CFSTR(text) (::q9framework::cf::constantString("" text ""))

// ---- data ------------------------------------------------------------------------------------------

CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);
/** An empty data object that can grow; `capacity` is a hint (0 = unlimited). */
CFMutableDataRef CFDataCreateMutable(CFAllocatorRef allocator, CFIndex capacity);
CFIndex CFDataGetLength(CFDataRef data);
/** The bytes, valid until the data changes or is freed; null for empty or null data. */
const UInt8* CFDataGetBytePtr(CFDataRef data);
UInt8* CFDataGetMutableBytePtr(CFMutableDataRef data);
/** Copies `range`, which must lie inside the data (else nothing is copied). */
void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer);
void CFDataAppendBytes(CFMutableDataRef data, const UInt8* bytes, CFIndex length);
/** Grows with zero bytes or shrinks. */
void CFDataSetLength(CFMutableDataRef data, CFIndex length);

// ---- numbers and booleans ------------------------------------------------------------------------

typedef CFIndex CFNumberType;
enum : CFNumberType {
    kCFNumberSInt8Type = 1, kCFNumberSInt16Type = 2, kCFNumberSInt32Type = 3, kCFNumberSInt64Type = 4,
    kCFNumberFloat32Type = 5, kCFNumberFloat64Type = 6, kCFNumberCharType = 7, kCFNumberShortType = 8,
    kCFNumberIntType = 9, kCFNumberLongType = 10, kCFNumberLongLongType = 11, kCFNumberFloatType = 12,
    kCFNumberDoubleType = 13, kCFNumberCFIndexType = 14, kCFNumberNSIntegerType = 15,
    kCFNumberCGFloatType = 16,
};

/** A number from the value `valuePtr` points at, read as `type`. Null for a null pointer or an unknown
    type. Integers are kept as 64-bit integers, reals as doubles. */
CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType type, const void* valuePtr);
/** Stores the number as `type` into `valuePtr`; true when the value fits exactly (an integer in range,
    a real without a fraction for integer types). Out of range, the value is truncated as C converts. */
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr);
/** kCFNumberSInt64Type for integers, kCFNumberFloat64Type for reals (the stored forms). */
CFNumberType CFNumberGetType(CFNumberRef number);
Boolean CFNumberIsFloatType(CFNumberRef number);

extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;
Boolean CFBooleanGetValue(CFBooleanRef boolean);

CFDateRef CFDateCreate(CFAllocatorRef allocator, CFAbsoluteTime at);
CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef date);

// ---- arrays ----------------------------------------------------------------------------------------

/** Only whether a pointer to callbacks is given matters: given, elements are CF objects and are
    retained; null, elements are raw pointers the array never touches. */
struct CFArrayCallBacks {
    CFIndex version;
};
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex count,
                         const CFArrayCallBacks* callBacks);
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks);
CFIndex CFArrayGetCount(CFArrayRef array);
/** The element at `index`, lent; null when out of range. */
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index);
void CFArrayAppendValue(CFMutableArrayRef array, const void* value);
void CFArrayRemoveValueAtIndex(CFMutableArrayRef array, CFIndex index);
void CFArrayRemoveAllValues(CFMutableArrayRef array);

// ---- dictionaries ----------------------------------------------------------------------------------

/** As with arrays: given, keys (compared with CFEqual) and values are CF objects and are retained;
    null, they are raw pointers compared by address. Entries keep the order they were added in. */
struct CFDictionaryKeyCallBacks {
    CFIndex version;
};
struct CFDictionaryValueCallBacks {
    CFIndex version;
};
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values,
                                   CFIndex count, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks);
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary);
/** The value for `key`, lent; null when absent. */
const void* CFDictionaryGetValue(CFDictionaryRef dictionary, const void* key);
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef dictionary, const void* key, const void** value);

/** How a required entry of a dictionary read from a file or a host was found. Our own convenience. */
enum class RequiredValue { found, missing, wrongType };
/** The value under `key` when it is there and of `type`, else null; `how` (if given) says which. */
const void* getRequiredValue(CFDictionaryRef dictionary, const char* key, CFTypeID type, RequiredValue* how = nullptr);
Boolean CFDictionaryContainsKey(CFDictionaryRef dictionary, const void* key);
/** Fills `keys` and `values` (either may be null) with GetCount entries, in the order added. */
void CFDictionaryGetKeysAndValues(CFDictionaryRef dictionary, const void** keys, const void** values);
/** Adds or replaces. */
void CFDictionarySetValue(CFMutableDictionaryRef dictionary, const void* key, const void* value);
/** Adds only when the key is absent. */
void CFDictionaryAddValue(CFMutableDictionaryRef dictionary, const void* key, const void* value);
void CFDictionaryRemoveValue(CFMutableDictionaryRef dictionary, const void* key);

// ---- file URLs ------------------------------------------------------------------------------------

typedef CFIndex CFURLPathStyle;
enum : CFURLPathStyle { kCFURLPOSIXPathStyle = 0 };

/** A file URL for a POSIX path of `length` bytes. Null for an empty or null path. */
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef allocator, const UInt8* path, CFIndex length,
                                                 Boolean isDirectory);
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef path, CFURLPathStyle style,
                                       Boolean isDirectory);
/** Writes the path and a NUL into `buffer`; false when it does not fit. */
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxLength);
CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle style);
CFStringRef CFURLCopyLastPathComponent(CFURLRef url);
/** The extension without its dot; null when there is none. */
CFStringRef CFURLCopyPathExtension(CFURLRef url);
/** The parent folder's URL; null when nothing is left to remove (the root). */
CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef allocator, CFURLRef url);
CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef allocator, CFURLRef url, CFStringRef component,
                                               Boolean isDirectory);
/** The path as it is (empty for null). Our own convenience. */
std::string pathOf(CFURLRef url);

// ---- property lists ---------------------------------------------------------------------------------

enum : CFOptionFlags {
    kCFPropertyListImmutable = 0,
    kCFPropertyListMutableContainers = 1,
    kCFPropertyListMutableContainersAndLeaves = 2,
};

/** Parses an XML property list. Null when the data is not one (malformed XML, unknown elements,
    dictionary keys that are not strings, nesting deeper than 256 levels); `errorString`, when given,
    then receives a description to release (Create rule), else is set to null. Containers are mutable
    unless `mutabilityOption` is kCFPropertyListImmutable. */
CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef allocator, CFDataRef xmlData,
                                                  CFOptionFlags mutabilityOption, CFStringRef* errorString);
/** Writes `propertyList` as an XML property list (header, DOCTYPE, tab indentation, dictionary keys
    sorted as the Mac writes them). Null when it holds something a property list cannot: URLs, arrays
    or dictionaries of raw pointers, or non-string keys. */
CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef allocator, CFPropertyListRef propertyList);
/** Only dictionaries, arrays, strings, data, numbers, booleans and dates, all the way down. */
Boolean CFPropertyListIsValid(CFPropertyListRef propertyList);

/** Reads and parses an XML property list file (Create rule). Null when the file cannot be read or
    parsed; `error` then says which. Our own convenience. */
CFPropertyListRef createPropertyListFromFile(const std::string& path, std::string* error = nullptr);
/** Writes `propertyList` as an XML property list file, replacing the file. False when it cannot be
    written as a property list or the file cannot be written. Our own convenience. */
bool writePropertyListToFile(CFPropertyListRef propertyList, const std::string& path);

// ---- holding references ------------------------------------------------------------------------------

/** Holds one reference to a CF object and releases it when destroyed; copies retain. Construct from a
    Create/Copy result to adopt it, or use CFRef::retain on a borrowed one. */
template <typename Ref>
class CFRef {
public:
    CFRef() noexcept = default;
    explicit CFRef(Ref adopted) noexcept : ref(adopted) {}
    static CFRef retain(Ref borrowed) noexcept
    {
        CFRetain(borrowed);
        return CFRef(borrowed);
    }
    CFRef(const CFRef& other) noexcept : ref(other.ref) { CFRetain(ref); }
    CFRef(CFRef&& other) noexcept : ref(other.ref) { other.ref = nullptr; }
    CFRef& operator=(CFRef other) noexcept
    {
        std::swap(ref, other.ref);
        return *this;
    }
    ~CFRef() { CFRelease(ref); }

    Ref get() const noexcept { return ref; }
    explicit operator bool() const noexcept { return ref != nullptr; }
    /** Hands the reference to the caller, who must release it. */
    Ref release() noexcept
    {
        Ref handedOver = ref;
        ref = nullptr;
        return handedOver;
    }
    void reset(Ref adopted = nullptr) noexcept { CFRef(adopted).swap(*this); }
    void swap(CFRef& other) noexcept { std::swap(ref, other.ref); }

private:
    Ref ref = nullptr;
};

} // namespace cf
} // namespace q9framework
