#pragma once
#include <cstddef>

namespace q9framework {

/** Numbers as text, always with a decimal point.

    printf and strtod follow the process's LC_NUMERIC, and a host may switch it to its user's language:
    a German one makes them write "0,500000" (which a host in any other locale reads back as 0) and
    read "0.75" as 0. Everything in the framework and the effect that turns numbers into text or back
    goes through here (String's number constructors and getDoubleValue, the effect's saved state), so
    they all keep to the "C" locale, whatever the host has set.

    Any thread; no allocation after the first call, which creates the process's one "C" locale object. */
namespace NumberText {

/** Writes `value` as printf "%.<decimals>f" does in the "C" locale; decimals are limited to 99 and a
    negative count gives "%f" (six decimals). The text is cut to size - 1 bytes and NUL-terminated
    (nothing is written when size is 0). Returns the length written, without the NUL. */
size_t formatFixed(char* buffer, size_t size, double value, int decimals) noexcept;

/** Reads a number as strtod does in the "C" locale: leading white space, a sign, decimal or hexadecimal
    (with a binary exponent) forms, "inf", "infinity" and "nan"; an overflow gives infinity and an
    underflow a tiny value or 0; a leading number followed by other characters counts as that number.
    Returns false, leaving `value` unchanged, for null or a text that does not start with a number. */
bool parse(const char* text, double& value) noexcept;

/** The "C" locale for the calling thread while it lives, for code that hands numbers to a library which
    reads or writes them with the C library (scanf, libplist). uselocale is per thread and leaves the
    host's other threads alone. */
class ScopedCLocale {
public:
    ScopedCLocale() noexcept;
    ~ScopedCLocale();
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    void* previous = nullptr;   // the thread's locale_t before, null when nothing was switched
};

} // namespace NumberText
} // namespace q9framework
