#pragma once
#include <cstddef>

namespace q9framework {

/** The framework's text: a handle to shared, NUL-terminated UTF-8 bytes.
    Copies share the text; the count is not atomic, so a String must not be shared between threads
    (copy the text with toStdString() or String(other.toUTF8()) to hand it over).
    A null handle is the empty string, and toUTF8() of it is a static "" (never null). */
class String {
public:
    String() noexcept = default;
    String(const char* text);                           // copied; null reads as empty
    String(const char* text, size_t numBytes);          // the first numBytes bytes (stops at a NUL)
    explicit String(int value);                         // "%i"
    /** Fixed-point with `decimals` digits after the point (at most 99); a negative count gives "%f".
        Always a decimal point, whatever the host's locale (NumberText). */
    String(double value, int decimals);
    String(const String& other) noexcept;
    String(String&& other) noexcept;
    String& operator=(const String& other) noexcept;
    String& operator=(String&& other) noexcept;
    ~String();

    const char* toUTF8() const noexcept;
    /** Byte length of the UTF-8 text. */
    size_t length() const noexcept;
    bool isEmpty() const noexcept;

    String operator+(const String& other) const;
    String operator+(const char* other) const;
    String& operator+=(const String& other);
    String& operator+=(const char* other);
    String& append(const char* text, size_t numBytes);

    /** Byte comparison of the UTF-8 text: case-sensitive, the empty string first. */
    int compare(const String& other) const noexcept;
    bool operator==(const String& other) const noexcept { return compare(other) == 0; }
    bool operator!=(const String& other) const noexcept { return compare(other) != 0; }
    bool operator<(const String& other) const noexcept { return compare(other) < 0; }
    bool operator>(const String& other) const noexcept { return compare(other) > 0; }
    bool operator==(const char* other) const noexcept { return compare(String(other)) == 0; }
    bool operator!=(const char* other) const noexcept { return !(*this == other); }

    // Small conveniences; none of them is relied on for exact behaviour elsewhere.
    bool startsWith(const char* prefix) const noexcept;
    bool endsWith(const char* suffix) const noexcept;
    /** Byte index of the first occurrence, or -1. */
    int indexOf(const char* needle) const noexcept;
    /** Bytes [start, end) clamped to the text; callers keep UTF-8 sequences whole. */
    String substring(int start, int end) const;
    String substring(int start) const;
    String toLowerCase() const;                          // ASCII letters only
    String toUpperCase() const;
    String trim() const;                                 // ASCII white space at both ends
    int getIntValue() const noexcept;                    // leading integer, 0 when none
    double getDoubleValue() const noexcept;              // leading number as NumberText::parse, 0 when none
    /** Number of Unicode code points (a malformed byte counts as one). */
    int numCharacters() const noexcept;

    /** n counted in base 60 and shown from its largest non-zero unit: 59 -> "59", 60 -> "1:00",
        3600 -> "1:00:00", 216000 -> "1:00:00:00"; 0 gives the empty string. */
    static String formatDuration(int n);

    /** printf into a String. Its floating-point conversions follow the process's LC_NUMERIC, which a
        host may have set to a decimal comma: numbers that must read back use String(value, decimals). */
    static String formatted(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;

    struct InternalString;

private:
    explicit String(InternalString* adopted) noexcept : internal(adopted) {}
    InternalString* internal = nullptr;
};

String operator+(const char* a, const String& b);

/** The value of one hexadecimal digit (either case), or -1 for any other character. */
int hexDigitValue(char c) noexcept;

} // namespace q9framework
