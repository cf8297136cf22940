#include "NumberText.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h> // strtod_l and uselocale live here on macOS
#endif

namespace q9framework {
namespace {

// Made on first use and kept for the life of the process: a locale object is immutable, so every
// thread may use it at once. Null only when the C library could not allocate it.
locale_t cLocale() noexcept
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

size_t NumberText::formatFixed(char* buffer, size_t size, double value, int decimals) noexcept
{
    if (buffer == nullptr || size == 0)
        return 0;
    if (decimals < 0)
        decimals = 6;
    if (decimals > 99)
        decimals = 99;

    int n = 0;
    {
        const ScopedCLocale c;
        n = std::snprintf(buffer, size, "%.*f", decimals, value);
    }

    if (n < 0) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

bool NumberText::parse(const char* text, double& value) noexcept
{
    if (text == nullptr)
        return false;
    const locale_t c = cLocale();
    char* end = nullptr;
    const double parsed = c != nullptr ? strtod_l(text, &end, c) : std::strtod(text, &end);
    if (end == text)
        return false;
    value = parsed;
    return true;
}

NumberText::ScopedCLocale::ScopedCLocale() noexcept
{
    const locale_t c = cLocale();
    if (c != static_cast<locale_t>(nullptr))
        previous = uselocale(c);
}

NumberText::ScopedCLocale::~ScopedCLocale()
{
    if (previous != nullptr)
        uselocale(static_cast<locale_t>(previous));
}

} // namespace q9framework
