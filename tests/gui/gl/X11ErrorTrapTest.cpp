// X errors of our own requests must never reach Xlib's default handler, which ends the process: a
// host may destroy the window it gave us before it closes the editor.
#include "framework/gui/linux/OpenGLContext.h"
#include "TestGLWindow.h"
#include "framework/gui/linux/X11ErrorTrap.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

std::atomic<int> hostHandlerCalls{0};
int hostHandler(Display*, XErrorEvent*)
{
    ++hostHandlerCalls;
    return 0;
}

struct X11ErrorTrapTest : ::testing::Test {
    void SetUp() override
    {
        view = TestGLWindow::create(32, 32, true, false);
        if (!view && std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under Xvfb)";
        ASSERT_NE(view, nullptr);
        display = view->getDisplay();
    }
    // A window inside a parent that the host then destroys, as a host closing its window before our
    // editor does: both ids are dead.
    ::Window orphanedChild(::Window& parent)
    {
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 40, 40, 0, 0, 0);
        const ::Window child = XCreateSimpleWindow(display, parent, 0, 0, 20, 20, 0, 0, 0);
        XDestroyWindow(display, parent);
        XSync(display, False);
        return child;
    }
    std::unique_ptr<TestGLWindow> view;
    Display* display = nullptr;
};

} // namespace

TEST_F(X11ErrorTrapTest, ContextOnADestroyedWindowFailsAndTheProcessSurvives)
{
    ::Window parent = 0;
    const ::Window child = orphanedChild(parent);
    EXPECT_EQ(OpenGLContext::create(display, child, false), nullptr);
    EXPECT_EQ(OpenGLContext::create(display, parent, true), nullptr);

    // A context whose window goes while it lives: drawing, textures and closing fail quietly.
    const ::Window host = XCreateWindow(display, view->getWindow(), 0, 0, 16, 16, 0, CopyFromParent, InputOutput,
                                        CopyFromParent, 0, nullptr);
    auto context = OpenGLContext::create(display, host, true);
    ASSERT_NE(context, nullptr);
    auto texture = context->createTexture(8, 8, 0, 1);
    XDestroyWindow(display, host);
    XSync(display, False);
    context->beginFrame();
    context->fillRect({0, 0, 4, 4}, Colour(255, 0, 0, 255));
    context->flush();
    texture.reset();
    context.reset();
    SUCCEED() << "still running";
}

TEST_F(X11ErrorTrapTest, ReportsOnlyItsOwnErrorsAndRestoresTheHostHandler)
{
    const XErrorHandler before = XSetErrorHandler(&hostHandler);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    hostHandlerCalls = 0;
    XWindowAttributes attributes;
    {
        X11ErrorTrap outer(display, "testing");
        {
            X11ErrorTrap inner(display, "testing");
            EXPECT_FALSE(inner.hasFailed());
            XGetWindowAttributes(other, 0x7FFFFFF, &attributes);   // the host's connection: not ours
            EXPECT_FALSE(inner.hasFailed());
            EXPECT_EQ(hostHandlerCalls.load(), 1);
            XMapWindow(display, 0x7FFFFFF);
            EXPECT_TRUE(inner.hasFailed());
            EXPECT_EQ(inner.getErrorCode(), BadWindow);
        }
        EXPECT_FALSE(outer.hasFailed()) << "the nested trap took its error";
        XUnmapWindow(display, 0x7FFFFFE);
        EXPECT_TRUE(outer.hasFailed());
    }
    EXPECT_EQ(XSetErrorHandler(before), &hostHandler) << "the host's handler is back";
    XCloseDisplay(other);
}

TEST_F(X11ErrorTrapTest, TrapsOnSeveralThreadsKeepTheirErrorsApart)
{
    std::atomic<int> wrong{0};
    auto work = [&wrong](bool provoke) {
        Display* own = XOpenDisplay(nullptr);
        if (own == nullptr) {
            ++wrong;
            return;
        }
        for (int i = 0; i < 100; ++i) {
            X11ErrorTrap trap(own, "testing");
            if (provoke)
                XMapWindow(own, 0x7FFFFFF);
            else
                XNoOp(own);
            if (trap.hasFailed() != provoke)
                ++wrong;
        }
        XCloseDisplay(own);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(work, t % 2 == 0);
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}
