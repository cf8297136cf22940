// The window logic without a display: a fake native window stands in for the platform, so these check
// what the toolkit does with native events (the X11 side has its own tests under a real server).
#include "Recorder.h"

#include "framework/core/ClassNameRegistry.h"
#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/RenderingContext.h"
#include "framework/core/MessageLoop.h"

#include <gtest/gtest.h>

namespace q9test {
namespace {

struct FakeNative : NativeWindow {
    static inline FakeNative* last = nullptr;
    Owner& owner;
    Point size;
    Point pointer{500, 400};
    std::vector<Point> warps;
    bool hidden = false;
    FakeNative(Owner& o, Point s) : owner(o), size(s) { last = this; }
    ~FakeNative() override { last = nullptr; }
    void setBounds(Rectangle) override {}
    Rectangle getBounds() override { return {0, 0, size.x, size.y}; }
    void setTitle(const String&) override {}
    Point getContentSize() override { return size; }
    Point getScreenPosition() override { return {}; }
    bool isZoomed() override { return false; }
    bool isMinimised() override { return false; }
    void* getContentView() override { return nullptr; }
    std::unique_ptr<RenderingContext> createRenderingContext(bool) override { return nullptr; }
    bool beginFrame(RenderingContext&) override { return false; }
    void endFrame(RenderingContext&) override {}
    void setSwapInterval(int) override {}
    void showCursor(const Mouse::Cursor&) override {}
    void setCursorHidden(bool h) override { hidden = h; }
    Point getPointerScreenPosition() override { return pointer; }
    void warpPointer(Point p) override { warps.push_back(p); }
    double getDesktopScale() override { return 2.0; }
    bool isAlive() const override { return true; }
    void toFront() override {}
};

std::unique_ptr<NativeWindow> makeFake(NativeWindow::Owner& owner, Rectangle bounds, uint32_t, const String&, void*)
{
    return std::make_unique<FakeNative>(owner, Point(bounds.width, bounds.height));
}

/** A ComponentsWindow whose native events can be injected as the platform would deliver them. */
struct TestWindow : ComponentsWindow {
    using ComponentsWindow::ComponentsWindow;
    using Window::nativeCloseButton;
    using Window::nativeFocusChanged;
    using Window::nativeKey;
    using Window::nativeModifiersChanged;
    using Window::nativeMouseDown;
    using Window::nativeMouseMoved;
    using Window::nativeMouseUp;
};

struct KeyProbe : Probe {
    KeyProbe(std::vector<std::string>& logTo, Rectangle area) : Probe(logTo, "root", area), keys(logTo) {}
    bool keyPressed(const KeyEvent& k) override
    {
        keys.push_back("down " + std::to_string(k.keyCode));
        return true;
    }
    bool keyReleased(const KeyEvent& k) override
    {
        keys.push_back("up " + std::to_string(k.keyCode));
        return true;
    }
    std::vector<std::string>& keys;
};

class WindowLogic : public ::testing::Test {
protected:
    void SetUp() override { setNativeWindowFactory(&makeFake); }
    void TearDown() override { setNativeWindowFactory(nullptr); }
    std::vector<std::string> log;
};

TEST_F(WindowLogic, KeysModifiersAndFocusLossReachTheTreeAsTheToolkitNamesThem)
{
    TestWindow window(Rectangle(0, 0, 100, 100), 0, String(), reinterpret_cast<void*>(1));
    auto* root = new KeyProbe(log, Rectangle(0, 0, 100, 100));
    root->setWantsKeyboardFocus(true);
    window.getContainer().setRoot(root, true, true);
    window.getContainer().setFocus(root);
    log.clear();

    EXPECT_TRUE(window.nativeKey(0xF700, 111, true));    // up arrow
    EXPECT_TRUE(window.nativeKey(3, 104, true));         // keypad enter
    EXPECT_TRUE(window.nativeKey(10, 36, true));         // a line feed is swallowed, not sent
    EXPECT_FALSE(window.nativeKey(0, 0, true));          // no character: left to the host
    EXPECT_EQ(log, (std::vector<std::string>{"down 268435459", "down 13"}));

    // Option and shift held together: every change reports all four, option, command, shift, control.
    log.clear();
    window.nativeModifiersChanged(NativeWindow::modifierOption | NativeWindow::modifierShift);
    EXPECT_EQ(log, (std::vector<std::string>{"down 268435462", "up 268435464", "down 268435463", "up 268435461"}));
    EXPECT_TRUE(ComponentsContainer::isKeyHeld(KeyCodes::option));
    window.nativeModifiersChanged(0);
    EXPECT_FALSE(ComponentsContainer::isKeyHeld(KeyCodes::option));

    // Losing the focus with a button held releases it on the tree.
    window.nativeMouseDown(Point(10, 10), mouseButtonRight, 1);
    EXPECT_NE(window.getContainer().getPointer(0)->buttonsHeld, 0u);
    window.nativeFocusChanged(false);
    EXPECT_EQ(window.getContainer().getPointer(0)->buttonsHeld, 0u);
}

TEST_F(WindowLogic, CloseButtonDestroysAStandAloneWindowAndTheLastOneEndsTheLoop)
{
    ManualClock clock;
    MessageLoop loop(clock);
    MessageLoop* const previous = MessageLoop::setMain(&loop);
    const int before = Window::getNumStandAloneWindows();
    bool firstGone = false, secondGone = false;
    auto* first = new TestWindow(Rectangle(0, 0, 50, 50), 0, String("one"), nullptr);
    auto* second = new TestWindow(Rectangle(0, 0, 50, 50), Window::requestOpenGLFlag, String("two"), nullptr);
    first->setAliveFlag(&firstGone);
    second->setAliveFlag(&secondGone);
    EXPECT_EQ(second->getFlags(), uint32_t(Window::openGLFlag));
    EXPECT_EQ(Window::getNumStandAloneWindows(), before + 2);

    first->nativeCloseButton();
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(Window::getNumStandAloneWindows(), before + 1);

    // The last one asks the loop to end instead: run() returns at once and the window is still there.
    second->nativeCloseButton();
    EXPECT_FALSE(secondGone);
    loop.run();
    delete second;
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(Window::getNumStandAloneWindows(), before);
    MessageLoop::setMain(previous);
}

TEST(WindowInput, ClickCountsFollowTimeDistanceAndButton)
{
    ClickCounter counter;
    EXPECT_EQ(counter.press(mouseButtonLeft, Point(10, 10), 1000.0), 1);
    EXPECT_EQ(counter.press(mouseButtonLeft, Point(12, 9), 1300.0), 2);
    EXPECT_EQ(counter.press(mouseButtonLeft, Point(12, 9), 1650.0), 3);
    EXPECT_EQ(counter.press(mouseButtonLeft, Point(12, 9), 2100.0), 1);    // too slow
    EXPECT_EQ(counter.press(mouseButtonLeft, Point(20, 9), 2200.0), 1);    // too far
    EXPECT_EQ(counter.press(mouseButtonRight, Point(20, 9), 2300.0), 1);   // another button
}

} // namespace
} // namespace q9test
