#pragma once
#include "framework/core/Colour.h"

namespace q9framework {

/** The named colours of the toolkit's default drawing (LookAndFeel). All opaque. */
namespace Colours {
constexpr Colour yellow{255, 255, 0};
constexpr Colour orange{255, 165, 0};
constexpr Colour red{255, 0, 0};
constexpr Colour white{255, 255, 255};
constexpr Colour black{0, 0, 0};
constexpr Colour magenta{255, 0, 255};
constexpr Colour green{0, 255, 0};
constexpr Colour blue{0, 0, 255};
constexpr Colour pink{255, 192, 203};

/** An opaque grey of the given level (red = green = blue). */
constexpr Colour grey(uint8_t level, uint8_t alpha = 255) noexcept { return Colour(level, level, level, alpha); }
} // namespace Colours

} // namespace q9framework
