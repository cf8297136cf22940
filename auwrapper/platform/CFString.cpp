// Strings: stored as UTF-8, which is what libplist and the rest of our code speak; UTF-16 lengths and
// characters (the Mac's units) are computed when asked, which the wrapper rarely does. Mac OS Roman
// goes through glibc's iconv.

#include "auwrapper/platform/CFValues.h"

#include "auwrapper/platform/CFValuesInternal.h"

#include <iconv.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

namespace q9framework {
namespace cf {

namespace {

const CFString* stringOf(CFTypeRef ref) noexcept { return as<CFString>(ref, Kind::string); }

} // namespace

namespace {

bool isValidUtf8(const std::string& text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// UTF-16 code units of valid UTF-8 text.
std::u16string utf16Of(const std::string& utf8)
{
    std::u16string units;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t code;
        size_t extra;
        if (c < 0x80) {
            code = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            code = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            code = c & 0x0F;
            extra = 2;
        } else {
            code = c & 0x07;
            extra = 3;
        }
        for (size_t k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

void appendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Mac OS Roman goes through glibc's iconv table ("MACINTOSH"), which matches the current Mac table.
bool convertWithIconv(const char* to, const char* from, const std::string& input, std::string& output)
{
    iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    output.assign(input.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    const size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    output.resize(output.size() - outLeft);
    return true;
}

bool isAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool decode(const std::string& bytes, CFStringEncoding encoding, std::string& utf8)
{
    switch (encoding) {
    case kCFStringEncodingUTF8:
        utf8 = bytes;
        return isValidUtf8(utf8);
    case kCFStringEncodingASCII:
        utf8 = bytes;
        return isAscii(bytes);
    case kCFStringEncodingISOLatin1:
        utf8.clear();
        for (char c : bytes)
            appendUtf8(utf8, static_cast<unsigned char>(c));
        return true;
    case kCFStringEncodingMacRoman:
        return convertWithIconv("UTF-8", "MACINTOSH", bytes, utf8);
    default:
        return false;
    }
}

bool encode(const std::string& utf8, CFStringEncoding encoding, std::string& bytes)
{
    switch (encoding) {
    case kCFStringEncodingUTF8:
        bytes = utf8;
        return true;
    case kCFStringEncodingASCII:
        bytes = utf8;
        return isAscii(utf8);
    case kCFStringEncodingISOLatin1:
        bytes.clear();
        for (char16_t unit : utf16Of(utf8)) {
            if (unit > 0xFF)
                return false;
            bytes += static_cast<char>(unit);
        }
        return true;
    case kCFStringEncodingMacRoman:
        return convertWithIconv("MACINTOSH", "UTF-8", utf8, bytes);
    default:
        return false;
    }
}

CFStringRef newString(std::string utf8)
{
    auto* string = new CFString;
    string->utf8 = std::move(utf8);
    return string;
}

} // namespace

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* text, CFStringEncoding encoding)
{
    if (text == nullptr)
        return nullptr;
    std::string utf8;
    if (!decode(text, encoding, utf8))
        return nullptr;
    return newString(std::move(utf8));
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex byteCount, CFStringEncoding encoding,
                                    Boolean)
{
    if (byteCount < 0 || (bytes == nullptr && byteCount > 0))
        return nullptr;
    std::string utf8;
    if (!decode(std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(byteCount)), encoding, utf8))
        return nullptr;
    return newString(std::move(utf8));
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* characters, CFIndex count)
{
    if (count < 0 || (characters == nullptr && count > 0))
        return nullptr;
    std::string utf8;
    for (CFIndex i = 0; i < count; ++i) {
        uint32_t code = characters[i];
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 1 >= count || characters[i + 1] < 0xDC00 || characters[i + 1] > 0xDFFF)
                return nullptr;
            code = 0x10000 + ((code - 0xD800) << 10) + (characters[i + 1] - 0xDC00u);
            ++i;
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return nullptr;
        }
        appendUtf8(utf8, code);
    }
    return newString(std::move(utf8));
}

CFIndex CFStringGetLength(CFStringRef ref)
{
    const CFString* string = stringOf(ref);
    return string != nullptr ? static_cast<CFIndex>(utf16Of(string->utf8).size()) : 0;
}

void CFStringGetCharacters(CFStringRef ref, CFRange range, UniChar* buffer)
{
    const CFString* string = stringOf(ref);
    if (string == nullptr || buffer == nullptr)
        return;
    const std::u16string units = utf16Of(string->utf8);
    if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(units.size()))
        return;
    std::memcpy(buffer, units.data() + range.location, static_cast<size_t>(range.length) * sizeof(UniChar));
}

Boolean CFStringGetCString(CFStringRef ref, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
    if (buffer == nullptr || bufferSize <= 0)
        return false;
    buffer[0] = '\0';
    const CFString* string = stringOf(ref);
    std::string bytes;
    if (string == nullptr || !encode(string->utf8, encoding, bytes))
        return false;
    if (static_cast<CFIndex>(bytes.size()) + 1 > bufferSize)
        return false;
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return true;
}

const char* CFStringGetCStringPtr(CFStringRef ref, CFStringEncoding encoding)
{
    const CFString* string = stringOf(ref);
    return string != nullptr && encoding == kCFStringEncodingUTF8 ? string->utf8.c_str() : nullptr;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
    if (length < 0)
        return 0;
    // UTF-8 needs at most three bytes per UTF-16 code unit (a surrogate pair makes four from two).
    return encoding == kCFStringEncodingUTF8 ? length * 3 : length;
}

namespace {

uint32_t foldCase(uint32_t c, bool caseInsensitive)
{
    return caseInsensitive && c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }

} // namespace

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options)
{
    const CFString* x = stringOf(a);
    const CFString* y = stringOf(b);
    if (x == nullptr || y == nullptr)
        return x == y ? kCFCompareEqualTo : (x == nullptr ? kCFCompareLessThan : kCFCompareGreaterThan);
    const bool caseInsensitive = (options & kCFCompareCaseInsensitive) != 0;
    const bool numerically = (options & kCFCompareNumerically) != 0;
    const std::u16string p = utf16Of(x->utf8);
    const std::u16string q = utf16Of(y->utf8);
    size_t i = 0;
    size_t j = 0;
    while (i < p.size() && j < q.size()) {
        if (numerically && isDigit(p[i]) && isDigit(q[j])) {
            // Compare the digit runs by value: skip leading zeros, then the longer run is larger,
            // equal lengths compare digit by digit.
            size_t iEnd = i;
            size_t jEnd = j;
            while (iEnd < p.size() && isDigit(p[iEnd]))
                ++iEnd;
            while (jEnd < q.size() && isDigit(q[jEnd]))
                ++jEnd;
            size_t iStart = i;
            size_t jStart = j;
            while (iStart + 1 < iEnd && p[iStart] == '0')
                ++iStart;
            while (jStart + 1 < jEnd && q[jStart] == '0')
                ++jStart;
            if (iEnd - iStart != jEnd - jStart)
                return iEnd - iStart < jEnd - jStart ? kCFCompareLessThan : kCFCompareGreaterThan;
            for (size_t k = 0; k < iEnd - iStart; ++k)
                if (p[iStart + k] != q[jStart + k])
                    return p[iStart + k] < q[jStart + k] ? kCFCompareLessThan : kCFCompareGreaterThan;
            i = iEnd;
            j = jEnd;
            continue;
        }
        const uint32_t c = foldCase(p[i], caseInsensitive);
        const uint32_t d = foldCase(q[j], caseInsensitive);
        if (c != d)
            return c < d ? kCFCompareLessThan : kCFCompareGreaterThan;
        ++i;
        ++j;
    }
    if (i < p.size())
        return kCFCompareGreaterThan;
    if (j < q.size())
        return kCFCompareLessThan;
    return kCFCompareEqualTo;
}

std::string toStdString(CFStringRef ref)
{
    const CFString* string = stringOf(ref);
    return string != nullptr ? string->utf8 : std::string();
}

CFStringRef createString(const std::string& utf8)
{
    return isValidUtf8(utf8) ? newString(utf8) : nullptr;
}

CFStringRef createStringUTF8OrMacRoman(const std::string& text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8);
    return string != nullptr ? string
                             : CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingMacRoman);
}

namespace {

/** The interned constants. Built before and torn down after every other static object of the binary
    (init_priority), so CFSTR stays usable in their destructors; torn down at all, so a module the host
    loads and unloads many times leaves no table behind per load. */
struct ConstantTable {
    std::mutex lock;
    std::map<std::string, const CFString*, std::less<>> strings;

    ~ConstantTable()
    {
        for (auto& entry : strings)
            delete entry.second;
    }
};

__attribute__((init_priority(101))) ConstantTable constants;

} // namespace

CFStringRef constantString(const char* utf8)
{
    // Interned, so CFSTR of one literal is one object wherever it is written.
    const std::string_view text = utf8 != nullptr ? utf8 : "";
    std::lock_guard<std::mutex> guard(constants.lock);
    auto found = constants.strings.find(text);   // no allocation once the constant exists
    if (found != constants.strings.end())
        return found->second;
    auto string = std::make_unique<CFString>(true);
    string->utf8 = std::string(text);
    const CFString* interned = string.get();
    constants.strings.emplace(interned->utf8, interned);
    string.release();   // the table owns it now
    return interned;
}

} // namespace cf
} // namespace q9framework
