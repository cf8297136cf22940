// kelvane-gallery: every control of the GUI toolkit in one stand-alone window (or inside another
// program's window), for looking at the default look and feel, film strips and scaled content, and
// for taking a screenshot of exactly what the window presented.
//
//   kelvane-gallery                                   opens the window until it is closed
//   kelvane-gallery --screenshot FILE.png [--after-ms N]  writes the window's pixels after N ms and exits
//   kelvane-gallery --embed-into XID                  opens it inside the X11 window XID
#include "tools/gallery/Gallery.h"
#include "tools/gallery/Screenshot.h"

#include "framework/core/FrameworkInitialiser.h"
#include "framework/core/MessageLoop.h"
#include "framework/core/Timer.h"
#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/linux/LinuxPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace q9framework;

struct Options {
    std::string screenshot;
    long afterMilliseconds = 500;
    unsigned long embedInto = 0;
};

int usage(const char* problem)
{
    if (problem != nullptr)
        std::fprintf(stderr, "kelvane-gallery: %s\n", problem);
    std::fprintf(problem != nullptr ? stderr : stdout,
                 "usage: kelvane-gallery [--screenshot FILE.png [--after-ms N]] [--embed-into XID]\n");
    return problem != nullptr ? 2 : 0;
}

bool parseNumber(const char* text, unsigned long& value)
{
    char* end = nullptr;
    value = std::strtoul(text, &end, 0);    // decimal, or 0x... as xwininfo prints window ids
    return end != text && *end == '\0';
}

class CallbackTimer : public Timer {
public:
    explicit CallbackTimer(std::function<void()> f) : callback(std::move(f)) {}
    void timerCallback() override { callback(); }

private:
    std::function<void()> callback;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        unsigned long number = 0;
        if (arg == "--help" || arg == "-h")
            return usage(nullptr);
        if (arg == "--screenshot" && hasValue)
            options.screenshot = argv[++i];
        else if (arg == "--after-ms" && hasValue && parseNumber(argv[i + 1], number) && number <= 600000)
            options.afterMilliseconds = static_cast<long>(number), ++i;
        else if (arg == "--embed-into" && hasValue && parseNumber(argv[i + 1], number) && number != 0)
            options.embedInto = number, ++i;
        else
            return usage(("cannot use the argument " + arg).c_str());
    }

    installLinuxGuiPlatform();
    installGuiServices();
    FrameworkInitialiser services;
    int status = 0;
    {
        ComponentsWindow window(Rectangle(80, 60, kelvane::Gallery::width, kelvane::Gallery::height),
                                q9framework::Window::openGLFlag, String("Kelvane widget gallery"),
                                options.embedInto != 0 ? reinterpret_cast<void*>(options.embedInto) : nullptr);
        if (!window.hasNative() || window.getRenderingContext() == nullptr) {
            std::fprintf(stderr, "kelvane-gallery: cannot open an OpenGL window (is DISPLAY set%s?)\n",
                         options.embedInto != 0 ? ", does the window exist" : "");
            return 1;
        }
        window.getContainer().setRoot(new kelvane::Gallery(), true, true);
        MessageLoop& loop = MessageLoop::getMain();

        // Embedded: when the host window goes, so does the gallery.
        CallbackTimer watchParent([&] {
            if (!window.getNative()->isAlive())
                loop.quit();
        });
        if (options.embedInto != 0)
            watchParent.startTimer(100);

        CallbackTimer screenshot([&] {
            screenshot.stopTimer();
            q9framework::Window::runFrame();
            const Image pixels = kelvane::readWindowPixels(window);
            if (!kelvane::writePng(pixels, options.screenshot)) {
                std::fprintf(stderr, "kelvane-gallery: cannot write %s\n", options.screenshot.c_str());
                status = 1;
            }
            loop.quit();
        });
        if (!options.screenshot.empty())
            screenshot.startTimer(static_cast<uint32_t>(std::max(1L, options.afterMilliseconds)));

        loop.run();
    }
    return status;
}
