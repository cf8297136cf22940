// The toolkit's process-wide services as a plug-in starts them: fonts through the Linux platform layer,
// the shared painter with the framework.
#include "framework/core/FrameworkInitialiser.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/Painter.h"
#include "framework/gui/linux/LinuxPlatform.h"

#include <gtest/gtest.h>

using namespace q9framework;

namespace {

// Every test of this program finds the system's fonts as the plug-in does.
class LinuxPlatform : public ::testing::Environment {
public:
    void SetUp() override { installLinuxGuiPlatform(); }
};
const auto* const linuxPlatform = ::testing::AddGlobalTestEnvironment(new LinuxPlatform);

} // namespace

TEST(GuiServices, TheSharedPainterLivesWithTheFrameworkAndHasTheDefaultFont)
{
    installGuiServices();
    EXPECT_EQ(getSharedPainter(), nullptr);
    {
        FrameworkInitialiser services;
        ASSERT_NE(getSharedPainter(), nullptr);
        EXPECT_FALSE(getSharedPainter()->getFont().isNull()) << "the default font was found through fontconfig";
    }
    EXPECT_EQ(getSharedPainter(), nullptr);
    FrameworkInitialiser::installServices({});
}
