#include "framework/gui/FrameworkInitialiser.h"

namespace q9framework {

FrameworkInitialiser::FrameworkInitialiser() = default;
FrameworkInitialiser::~FrameworkInitialiser() = default;

} // namespace q9framework
