#include "String.h"

#include "NumberText.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace q9framework {

// Not atomic on purpose: strings are shared only within one thread, and the count is touched on
// every copy of every label and property.
struct String::InternalString {
    int refCount;
    size_t length;
    char text[1];

    static InternalString* create(size_t length)
    {
        void* mem = std::malloc(sizeof(InternalString) + length);
        if (mem == nullptr)
            throw std::bad_alloc();
        auto* s = static_cast<InternalString*>(mem);
        s->refCount = 1;
        s->length = length;
        s->text[length] = 0;
        return s;
    }
};

namespace {
// Kept out of line: inlined into chains of temporaries, GCC 12 mistakes the count test for a
// use after free.
[[gnu::noinline]] void release(String::InternalString* s) noexcept
{
    if (s && --s->refCount == 0)
        std::free(s);
}

String::InternalString* makeInternal(const char* text, size_t length)
{
    if (text == nullptr || length == 0)
        return nullptr;
    auto* s = String::InternalString::create(length);
    std::memcpy(s->text, text, length);
    return s;
}
} // namespace

String::String(const char* text) : internal(text ? makeInternal(text, std::strlen(text)) : nullptr) {}

String::String(const char* text, size_t numBytes)
    : internal(text ? makeInternal(text, strnlen(text, numBytes)) : nullptr)
{
}

String::String(int value)
{
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof(buffer), "%i", value);
    internal = makeInternal(buffer, static_cast<size_t>(n));
}

String::String(double value, int decimals)
{
    char buffer[512]; // the longest "%.99f" of a double (about 410 characters) fits
    const size_t n = NumberText::formatFixed(buffer, sizeof(buffer), value, decimals);
    internal = makeInternal(buffer, n);
}

String::String(const String& other) noexcept : internal(other.internal)
{
    if (internal)
        ++internal->refCount;
}

String::String(String&& other) noexcept : internal(other.internal) { other.internal = nullptr; }

String& String::operator=(const String& other) noexcept
{
    String copy(other);
    std::swap(internal, copy.internal);
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    String taken(std::move(other));
    std::swap(internal, taken.internal);
    return *this;
}

String::~String() { release(internal); }

const char* String::toUTF8() const noexcept { return internal ? internal->text : ""; }
size_t String::length() const noexcept { return internal ? internal->length : 0; }
bool String::isEmpty() const noexcept { return internal == nullptr || internal->text[0] == 0; }

String& String::append(const char* text, size_t numBytes)
{
    if (text == nullptr)
        return *this;
    numBytes = strnlen(text, numBytes);
    if (numBytes == 0)
        return *this;
    const size_t oldLength = length();
    auto* s = InternalString::create(oldLength + numBytes);
    std::memcpy(s->text, toUTF8(), oldLength);
    std::memcpy(s->text + oldLength, text, numBytes);
    *this = String(s);
    return *this;
}

String& String::operator+=(const String& other) { return append(other.toUTF8(), other.length()); }
String& String::operator+=(const char* other) { return other ? append(other, std::strlen(other)) : *this; }

String String::operator+(const String& other) const
{
    String result(*this);
    result += other;
    return result;
}

String String::operator+(const char* other) const
{
    String result(*this);
    result += other;
    return result;
}

String operator+(const char* a, const String& b) { return String(a) + b; }

int String::compare(const String& other) const noexcept
{
    if (internal == other.internal)
        return 0;
    return std::strcmp(toUTF8(), other.toUTF8());
}

bool String::startsWith(const char* prefix) const noexcept
{
    const size_t n = prefix ? std::strlen(prefix) : 0;
    return n <= length() && std::memcmp(toUTF8(), prefix ? prefix : "", n) == 0;
}

bool String::endsWith(const char* suffix) const noexcept
{
    const size_t n = suffix ? std::strlen(suffix) : 0;
    return n <= length() && std::memcmp(toUTF8() + length() - n, suffix ? suffix : "", n) == 0;
}

int String::indexOf(const char* needle) const noexcept
{
    const char* found = std::strstr(toUTF8(), needle ? needle : "");
    return found ? static_cast<int>(found - toUTF8()) : -1;
}

String String::substring(int start, int end) const
{
    const int len = static_cast<int>(length());
    if (start < 0)
        start = 0;
    if (end > len)
        end = len;
    if (start >= end)
        return String();
    return String(toUTF8() + start, static_cast<size_t>(end - start));
}

String String::substring(int start) const { return substring(start, static_cast<int>(length())); }

String String::toLowerCase() const
{
    String result(toUTF8(), length());
    if (result.internal)
        for (size_t i = 0; i < result.internal->length; ++i)
            result.internal->text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(result.internal->text[i])));
    return result;
}

String String::toUpperCase() const
{
    String result(toUTF8(), length());
    if (result.internal)
        for (size_t i = 0; i < result.internal->length; ++i)
            result.internal->text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(result.internal->text[i])));
    return result;
}

String String::trim() const
{
    const char* t = toUTF8();
    int start = 0;
    int end = static_cast<int>(length());
    while (start < end && std::isspace(static_cast<unsigned char>(t[start])))
        ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(t[end - 1])))
        --end;
    return substring(start, end);
}

int String::getIntValue() const noexcept { return static_cast<int>(std::strtol(toUTF8(), nullptr, 10)); }
double String::getDoubleValue() const noexcept
{
    double value = 0.0;
    NumberText::parse(toUTF8(), value);
    return value;
}

int String::numCharacters() const noexcept
{
    int count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(toUTF8()); *p; ++p)
        if ((*p & 0xC0) != 0x80)
            ++count;
    return count;
}

String String::formatDuration(int n)
{
    // Base 60 throughout: the largest unit shown is the first non-zero one.
    const int d = (n / 216000) % 60, c = (n / 3600) % 60, b = (n / 60) % 60, a = n % 60;
    if (d >= 1)
        return formatted("%i:%02i:%02i:%02i", d, c, b, a);
    if (c >= 1)
        return formatted("%i:%02i:%02i", c, b, a);
    if (b >= 1)
        return formatted("%i:%02i", b, a);
    if (a > 0)
        return formatted("%i", a);
    return String();
}

String String::formatted(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) {
        va_end(args);
        return String();
    }
    auto* s = InternalString::create(static_cast<size_t>(n));
    std::vsnprintf(s->text, static_cast<size_t>(n) + 1, format, args);
    va_end(args);
    return String(s);
}

int hexDigitValue(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace q9framework
