// The gallery on the X server the tests run under: what its window presents, read back as its
// screenshots read it, is what the painter draws.
#include <gtest/gtest.h>

#include "PumpUntil.h"

#include "tools/gallery/Gallery.h"
#include "tools/gallery/Screenshot.h"

#include "framework/core/FrameworkInitialiser.h"
#include "framework/core/MessageLoop.h"
#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/MemorySurface.h"
#include "framework/gui/linux/LinuxPlatform.h"

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace q9framework;
using kelvane::Gallery;

class GalleryWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        installLinuxGuiPlatform();
        installGuiServices();
        services = new FrameworkInitialiser();
    }
    static void TearDownTestSuite()
    {
        delete services;
        services = nullptr;
    }
    void SetUp() override
    {
        host = XOpenDisplay(nullptr);
        if (host == nullptr)
            GTEST_SKIP() << "no X display";
        window = std::make_unique<ComponentsWindow>(Rectangle(40, 40, Gallery::width, Gallery::height),
                                                    q9framework::Window::openGLFlag, String("gallery"), nullptr);
        ASSERT_TRUE(window->hasNative());
        gallery = new Gallery();
        window->getContainer().setRoot(gallery, true, true);
        ASSERT_TRUE(pumpMainLoopUntil([&] {
            XWindowAttributes a{};
            return XGetWindowAttributes(host, reinterpret_cast<uintptr_t>(window->getContentView()), &a) != 0
                   && a.map_state == IsViewable && !window->getContainer().isDirty();
        }, std::chrono::seconds(3)));
    }
    void TearDown() override
    {
        window.reset();
        if (host != nullptr)
            XCloseDisplay(host);
    }

    static FrameworkInitialiser* services;
    Display* host = nullptr;
    std::unique_ptr<ComponentsWindow> window;
    Gallery* gallery = nullptr;
};

FrameworkInitialiser* GalleryWindow::services = nullptr;

TEST_F(GalleryWindow, PresentedPixelsAreThePaintersPixels)
{
    gallery->look->slider->setValue(true, 0.6);
    gallery->strips->led->setState(true, true);
    ASSERT_TRUE(pumpMainLoopUntil([&] { return !window->getContainer().isDirty(); }, std::chrono::seconds(3)));
    q9framework::Window::runFrame();
    const Image presented = kelvane::readWindowPixels(*window);
    ASSERT_EQ(presented.getSize(), Point(Gallery::width, Gallery::height));

    // The same tree painted again, in memory only.
    MemorySurface memory(Gallery::width, Gallery::height);
    int32_t stride = 0;
    uint8_t* const pixels = memory.lockPixels(stride);
    window->getContainer().repaintAll();
    window->getContainer().paintDirtyRegion(pixels, Gallery::width, Gallery::height, stride, true);

    // Exact: the texture is drawn 1:1 on pixel centres over opaque pixels, so GL changes nothing.
    int differences = 0;
    std::string first;
    for (int32_t y = 0; y < Gallery::height; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(presented.getLinePointer(y));
        const auto* b = reinterpret_cast<const uint32_t*>(memory.getImage().getLinePointer(y));
        for (int32_t x = 0; x < Gallery::width; ++x)
            if ((a[x] & 0xffffff) != (b[x] & 0xffffff) && differences++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
    }
    EXPECT_EQ(differences, 0) << "first at " << first;
}

} // namespace
