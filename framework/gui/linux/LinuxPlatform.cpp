#include "framework/gui/linux/LinuxPlatform.h"

#include "framework/gui/FontLocator.h"

namespace q9framework {

void installLinuxGuiPlatform() noexcept
{
    FontLocator::setSystemFactory(&createFontconfigLocator);
}

} // namespace q9framework
