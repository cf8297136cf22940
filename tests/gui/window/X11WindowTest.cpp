// ComponentsWindow on the X server the tests run under (Xvfb with Mesa). The test plays the host and
// the user on a second connection of its own: it makes parent windows there, moves the real pointer and
// presses real keys through XTest; the window pumps its own connection
// through the main run loop, as an editor does on every idle.
#include <gtest/gtest.h>

#include "PumpUntil.h"

#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/Painter.h"
#include "framework/gui/linux/LinuxPlatform.h"
#include "framework/gui/linux/X11Connection.h"
#include "framework/core/MessageLoop.h"
#include "framework/core/Time.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace q9framework;

struct Recorder : Component {
    std::vector<std::string>& log;
    Colour fill;
    MouseEvent lastEvent;
    Recorder(std::vector<std::string>& l, Rectangle area, Colour c) : log(l), fill(c)
    {
        setBounds(area, false);
        setVisible(true);
        setWantsKeyboardFocus(true);
    }
    void paint(Painter& p) override { p.fillRect(Rectangle(0, 0, getWidth(), getHeight()), fill, false); }
    void note(const char* what, const MouseEvent& e)
    {
        lastEvent = e;
        log.push_back(std::string(what) + " " + std::to_string(e.position.x) + "," + std::to_string(e.position.y)
                      + " b" + std::to_string(e.button) + " c" + std::to_string(e.clickCount));
    }
    void mouseDown(const MouseEvent& e) override
    {
        note("down", e);
        grabKeyboardFocus();
    }
    void mouseUp(const MouseEvent& e) override { note("up", e); }
    void mouseDrag(const MouseEvent& e) override { note("drag", e); }
    void mouseMove(const MouseEvent& e) override { note("move", e); }
    bool mouseWheel(const MouseEvent& e) override
    {
        log.push_back("wheel " + std::to_string(e.wheelX) + " " + std::to_string(e.wheelY));
        return true;
    }
    bool keyPressed(const KeyEvent& k) override
    {
        log.push_back("key " + std::to_string(k.keyCode));
        return true;
    }
    bool keyReleased(const KeyEvent& k) override
    {
        log.push_back("keyup " + std::to_string(k.keyCode));
        return true;
    }
};

class X11Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        installLinuxGuiPlatform();
        host = XOpenDisplay(nullptr);
        if (host == nullptr)
            GTEST_SKIP() << "no X display";
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(host, &event, &error, &major, &minor))
            GTEST_SKIP() << "no XTest";
    }
    void TearDown() override
    {
        if (host != nullptr)
            XCloseDisplay(host);
    }

    bool logHas(const std::string& prefix)
    {
        for (const std::string& line : log)
            if (line.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    }
    /** Moves the real pointer (on the screen) and waits until the window has heard of it. */
    void fake(const std::function<void()>& act, const std::string& expected)
    {
        act();
        XFlush(host);
        EXPECT_TRUE(pumpMainLoopUntil([&] { return logHas(expected); })) << "never saw " << expected;
    }
    Display* host = nullptr;
    std::vector<std::string> log;
};

TEST_F(X11Window, RealPointerAndKeysReachTheComponents)
{
    ComponentsWindow window(Rectangle(100, 100, 300, 200), q9framework::Window::openGLFlag, String("input"), nullptr);
    ASSERT_TRUE(window.hasNative());
    auto* root = new Recorder(log, Rectangle(0, 0, 300, 200), Colour(0, 0, 80, 255));
    auto* child = new Recorder(log, Rectangle(100, 50, 100, 100), Colour(200, 0, 0, 255));
    root->addChild(child);
    window.getContainer().setRoot(root, true, true);
    ASSERT_TRUE(pumpMainLoopUntil([&] {
        XWindowAttributes a{};
        return XGetWindowAttributes(host, reinterpret_cast<uintptr_t>(window.getContentView()), &a) != 0
               && a.map_state == IsViewable;
    }));
    const Point origin = window.getScreenPosition();
    const int screen = DefaultScreen(host);

    // Presses, drags and double clicks are played on the real module's editor; here the buttons and
    // keys the editor's tests do not use. The right button is 4.
    fake([&] { XTestFakeMotionEvent(host, screen, origin.x + 150, origin.y + 90, 0); }, "move 50,40");
    fake([&] { XTestFakeButtonEvent(host, 3, True, 0); XTestFakeButtonEvent(host, 3, False, 0); }, "up 50,40 b4");
    fake([&] { XTestFakeButtonEvent(host, 5, True, 0); XTestFakeButtonEvent(host, 5, False, 0); }, "wheel 0.000000 -1");

    // The click gave the window the keyboard; the child took the focus.
    const auto press = [&](KeySym sym, bool down) { XTestFakeKeyEvent(host, XKeysymToKeycode(host, sym), down, 0); };
    fake([&] { press(XK_Left, true); press(XK_Left, false); }, "keyup 268435457");
    EXPECT_TRUE(logHas("key 268435457"));
    fake([&] { press(XK_a, true); press(XK_a, false); }, "keyup 97");
    log.clear();
    fake([&] { press(XK_Shift_L, true); }, "key 268435463");
    EXPECT_TRUE(ComponentsContainer::isKeyHeld(KeyCodes::shift));
    fake([&] { press(XK_Shift_L, false); }, "keyup 268435463");
    EXPECT_FALSE(ComponentsContainer::isKeyHeld(KeyCodes::shift));

    // Frames paint the tree: the child's red is on the screen.
    ASSERT_TRUE(pumpMainLoopUntil([&] {
        XImage* image = XGetImage(host, reinterpret_cast<uintptr_t>(window.getContentView()), 150, 100, 1, 1,
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return (pixel & 0xffffff) == 0xc80000;
    }));
}

int hostErrors = 0;
int countHostError(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

TEST_F(X11Window, ErrorsOnTheToolkitConnectionNeverReachTheHostHandler)
{
    hostErrors = 0;
    const XErrorHandler before = XSetErrorHandler(&countHostError);
    {
        ComponentsWindow window(Rectangle(0, 0, 50, 50), 0, String("errors"), nullptr);
        ASSERT_TRUE(window.hasNative());
        // A request on a window that does not exist, outside any operation's own trap: what a late
        // request on a window the host destroyed looks like. Xlib's default handler would exit here.
        Display* const ours = X11Connection::get()->getDisplay();
        XMapWindow(ours, 0x7ffffff0);
        XSync(ours, False);
        EXPECT_EQ(hostErrors, 0);
        XMapWindow(host, 0x7ffffff0);    // the host's own failure still reaches the host's handler
        XSync(host, False);
        EXPECT_EQ(hostErrors, 1);
    }
    EXPECT_EQ(X11Connection::get(), nullptr);
    EXPECT_EQ(XSetErrorHandler(before), &countHostError) << "the host's handler is back once we close";
}

} // namespace
