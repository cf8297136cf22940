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

    // uselocale changes the calling thread's locale only, and only for the one call.
    const locale_t c = cLocale();
    const locale_t previous = c != nullptr ? uselocale(c) : nullptr;
    const int n = std::snprintf(buffer, size, "%.*f", decimals, value);
    if (previous != nullptr)
        uselocale(previous);

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

} // namespace q9framework
