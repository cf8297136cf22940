#include "framework/gui/linux/LinuxPlatform.h"

#include "framework/gui/FontLocator.h"
#include "framework/gui/NativeWindow.h"
#include "framework/gui/linux/X11NativeWindow.h"

namespace q9framework {

void installLinuxGuiPlatform() noexcept
{
    FontLocator::setSystemFactory(&createFontconfigLocator);
    setNativeWindowFactory(&X11NativeWindow::create);
}

} // namespace q9framework
