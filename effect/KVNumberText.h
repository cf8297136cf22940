#pragma once
#include "framework/core/String.h"

#include <charconv>
#include <cstring>

/** Numbers as the effect writes and reads them in texts: always with a decimal point. printf and
    scanf follow the host's LC_NUMERIC, and a host that adopts a German locale would otherwise save
    "0,500000" (which every other host reads back as 0) and show "4,50 dB". No allocation beyond the
    returned String; any thread. */

/** Like printf "%.<decimals>f". */
inline q9framework::String formatFixed(double value, int decimals)
{
    char text[400]; // the longest fixed form of a double (about 310 digits) fits
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? q9framework::String(text, static_cast<size_t>(result.ptr - text))
                                    : q9framework::String();
}

/** Like sscanf "%lf": leading white space and a '+' are skipped, a leading number followed by other
    characters counts as that number. False (and `value` unchanged) for null or when there is no number. */
inline bool parseDouble(const char* text, double& value)
{
    if (text == nullptr)
        return false;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '+' && text[1] != '-')
        ++text;
    double parsed = 0.0;
    const auto result = std::from_chars(text, text + std::strlen(text), parsed, std::chars_format::general);
    if (result.ec != std::errc())
        return false;
    value = parsed;
    return true;
}
