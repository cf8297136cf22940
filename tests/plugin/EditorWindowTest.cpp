// The effect's editor as a Linux host drives it: the built module loaded with dlopen, effEditOpen with
// the X11 id of a parent window that the test (the host) made on a connection of its own, effEditIdle
// pumped every few milliseconds, and the user played with real pointer events through XTest. The panel
// is shown at 750 x 175, half its 1500 x 350 design size, so panel coordinates halve on the screen.
#include "LoadedPlugin.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include "HostWindow.h"
#include "threads/ServerResources.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

bool isEditOpcode(VstInt32 opcode)
{
    return opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit;
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (host == nullptr)
            GTEST_SKIP() << "no X display";
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(host, &event, &error, &major, &minor))
            GTEST_SKIP() << "no XTest";
        ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
        TestHost::get().reset();
        plugin = std::make_unique<LoadedPlugin>();
        ASSERT_NE(plugin->effect(), nullptr);
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        plugin->dispatch(effSetBlockSize, 0, 256);
        plugin->dispatch(effMainsChanged, 0, 1);
    }
    void TearDown() override
    {
        if (plugin != nullptr) {
            plugin->dispatch(effEditClose);
            plugin.reset();
        }
    }

    /** Idles the editor as a host does until `done` or two seconds have passed. */
    bool idleUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            plugin->dispatch(effEditIdle);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        return false;
    }
    void idleFor(int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        idleUntil([&] { return std::chrono::steady_clock::now() >= end; });
    }
    /** Opens the editor into `parent` and waits until its window is on the screen. */
    void openEditor()
    {
        ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        ASSERT_TRUE(idleUntil([&] {
            const auto list = window.children();
            XWindowAttributes a {};
            return list.size() == 1 && XGetWindowAttributes(host, list[0], &a) != 0 && a.map_state == IsViewable;
        }));
        idleFor(60);   // a few frames: the tree ticks and paints once
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(host, parent, DefaultRootWindow(host), 0, 0, &x, &y, &child);
        origin = {x, y};
        TestHost::get().reset();
    }

    // The user, in editor pixels (half the panel's coordinates).
    void moveTo(int x, int y)
    {
        XTestFakeMotionEvent(host, DefaultScreen(host), origin.x + x, origin.y + y, 0);
        XFlush(host);
        idleFor(25);
    }
    void button(bool down)
    {
        XTestFakeButtonEvent(host, 1, down ? True : False, 0);
        XFlush(host);
        idleFor(25);
    }
    void clickAt(int x, int y)
    {
        moveTo(x, y);
        button(true);
        button(false);
    }
    /** Moves the pointer by dy pixels with the button held and waits until the host heard a new value. */
    void dragBy(int dy)
    {
        const size_t before = TestHost::get().callsOf(audioMasterAutomate).size();
        XTestFakeRelativeMotionEvent(host, 0, dy, 0);
        XFlush(host);
        EXPECT_TRUE(idleUntil([&] { return TestHost::get().callsOf(audioMasterAutomate).size() > before; }))
            << "no value for a drag of " << dy;
    }
    /** The last value sent to the host, or -1 when none was. */
    static float lastAutomatedValue()
    {
        const auto calls = TestHost::get().callsOf(audioMasterAutomate);
        return calls.empty() ? -1.0f : calls.back().opt;
    }
    std::vector<TestHost::Call> edits()
    {
        std::vector<TestHost::Call> result;
        for (const TestHost::Call& c : TestHost::get().calls())
            if (isEditOpcode(c.opcode))
                result.push_back(c);
        return result;
    }
    /** The editor's pixels in a rectangle of its window, as 0xRRGGBB words. */
    std::vector<uint32_t> pixels(int x, int y, int width, int height)
    {
        std::vector<uint32_t> result;
        const auto list = window.children();
        if (list.empty())
            return result;
        XImage* image = XGetImage(host, list[0], x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return result;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                result.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
        XDestroyImage(image);
        return result;
    }
    struct Origin {
        int x = 0, y = 0;
    } origin;
    HostWindow window{1600, 400};
    Display* const host = window.display;
    ::Window& parent = window.parent;
    std::unique_ptr<LoadedPlugin> plugin;
};

// Panel centres of the knobs, halved: attack, drive, release, gain.
struct KnobSpot {
    VstInt32 index;
    int x, y;
    float defaultValue;
};
constexpr KnobSpot knobs[] = {{0, 287, 96, 0.5f}, {6, 347, 81, 0.0f}, {1, 408, 96, 0.5f}, {3, 469, 81, 0.5f}};

TEST_F(EditorWindow, OpensInsideTheHostsWindowAtTheStoredSize)
{
    ERect* rect = nullptr;
    ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 1000) << "before the first open";
    openEditor();
    const auto list = window.children();
    ASSERT_EQ(list.size(), 1u);
    XWindowAttributes a {};
    XGetWindowAttributes(host, list[0], &a);
    EXPECT_EQ(a.width, 750);
    EXPECT_EQ(a.height, 175);
    ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 750);
    EXPECT_EQ(rect->bottom, 175);
    // The artwork is on the screen: the panel is no flat colour.
    const auto shown = pixels(0, 0, 750, 175);
    ASSERT_FALSE(shown.empty());
    EXPECT_GT(std::count_if(shown.begin(), shown.end(), [&](uint32_t p) { return p != shown[0]; }), 1000);

    plugin->dispatch(effEditClose);
    XSync(host, False);
    EXPECT_TRUE(window.children().empty());
}

TEST_F(EditorWindow, KnobDragsAndResetsReachTheHostAsGestures)
{
    openEditor();
    for (const KnobSpot& knob : knobs) {
        SCOPED_TRACE(knob.index);
        TestHost::get().reset();
        moveTo(knob.x, knob.y);
        button(true);
        for (int step = 0; step < 4; ++step)
            dragBy(-4);   // 8 panel pixels up at 0.0025 each
        button(false);

        const auto calls = edits();
        ASSERT_GE(calls.size(), 6u);
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
        float previous = knob.defaultValue;
        for (size_t i = 1; i + 1 < calls.size(); ++i) {
            EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
            EXPECT_GT(calls[i].opt, previous) << "dragging up turns the knob up";
            previous = calls[i].opt;
        }
        for (const auto& c : calls)
            EXPECT_EQ(c.index, knob.index);
        EXPECT_NEAR(previous, knob.defaultValue + 0.08f, 0.011f);
        EXPECT_EQ(plugin->getParameter(knob.index), previous) << "the plug-in has the value the host was sent";
    }

    // A double click puts the attack knob back to its default, as one gesture of its own.
    TestHost::get().reset();
    moveTo(knobs[0].x, knobs[0].y);
    XTestFakeButtonEvent(host, 1, True, 0);
    XTestFakeButtonEvent(host, 1, False, 0);
    XFlush(host);
    idleFor(30);
    const size_t afterFirst = edits().size();
    XTestFakeButtonEvent(host, 1, True, 0);
    XTestFakeButtonEvent(host, 1, False, 0);
    XFlush(host);
    idleFor(40);
    const auto calls = edits();
    ASSERT_EQ(calls.size(), afterFirst + 3);
    EXPECT_EQ(calls[afterFirst].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[afterFirst + 1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[afterFirst + 1].opt, 0.5f);
    EXPECT_EQ(calls[afterFirst + 2].opcode, audioMasterEndEdit);
    EXPECT_EQ(plugin->getParameter(0), 0.5f);
}

TEST_F(EditorWindow, SwitchAndSelectorsSendTheirValuesAndMetersSendNothing)
{
    openEditor();
    const auto expectGesture = [&](VstInt32 index, float value, float tolerance) {
        const auto calls = edits();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
        EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
        for (const auto& c : calls)
            EXPECT_EQ(c.index, index);
        EXPECT_NEAR(calls[1].opt, value, tolerance);
        TestHost::get().reset();
    };
    clickAt(469, 128);   // bypass switch
    expectGesture(2, 1.0f, 0.0f);
    EXPECT_EQ(plugin->text(effGetParamDisplay, 2), "On");
    clickAt(469, 128);
    expectGesture(2, 0.0f, 0.0f);
    clickAt(314, 138);   // right end of the attack time selector: panel x 628 of 519..629
    expectGesture(4, 109.0f / 110.0f, 1e-6f);
    EXPECT_EQ(plugin->text(effGetParamDisplay, 4), "soft");
    clickAt(384, 138);   // left end of the release time selector
    expectGesture(5, 0.0f, 0.02f);
    EXPECT_EQ(plugin->text(effGetParamDisplay, 5), "sharp");

    // The meters and the drive indicator have no parameter: pressing them tells the host nothing.
    clickAt(150, 60);
    clickAt(347, 124);
    EXPECT_TRUE(edits().empty());
}

TEST_F(EditorWindow, HostChangesMoveControlsQuietlyButNeverOneUnderTheHand)
{
    openEditor();
    // A knob reports values relative to where it stands, so a small drag shows where it stood.
    const auto valueAfterNudge = [&](const KnobSpot& knob) {
        moveTo(knob.x, knob.y);
        button(true);
        dragBy(-2);
        button(false);
        return lastAutomatedValue();
    };

    plugin->setParameter(3, 0.2f);
    idleFor(60);
    EXPECT_TRUE(edits().empty()) << "host automation is not echoed back";
    EXPECT_NEAR(valueAfterNudge(knobs[3]), 0.21f, 0.003f) << "the gain knob followed the host";

    // While the user holds the knob the host's change does not move it. (Pressed a little apart from
    // the last press, which would make a double click, the knob's reset.)
    TestHost::get().reset();
    moveTo(knobs[3].x, knobs[3].y + 10);
    button(true);
    plugin->setParameter(3, 0.9f);
    idleFor(60);
    dragBy(-2);
    button(false);
    EXPECT_NEAR(lastAutomatedValue(), 0.22f, 0.003f);

    // A state load moves every control, again without a word to the host.
    plugin->setParameter(0, 0.7f);
    void* chunk = nullptr;
    const VstIntPtr size = plugin->dispatch(effGetChunk, 0, 0, &chunk);
    std::vector<char> saved(static_cast<const char*>(chunk), static_cast<const char*>(chunk) + size);
    plugin->setParameter(0, 0.1f);
    idleFor(40);
    TestHost::get().reset();
    plugin->dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), saved.data());
    idleFor(60);
    EXPECT_TRUE(edits().empty());
    EXPECT_NEAR(valueAfterNudge(knobs[0]), 0.71f, 0.003f);
}

TEST_F(EditorWindow, ResizeDragClampsKeepsTheAspectAndAsksTheHost)
{
    openEditor();
    moveTo(700, 20);   // the strip right of panel x 1349
    button(true);
    XTestFakeMotionEvent(host, DefaultScreen(host), origin.x + 1900, origin.y + 20, 0);
    XFlush(host);
    idleFor(60);
    auto sizes = TestHost::get().callsOf(audioMasterSizeWindow);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().index, 1499);
    EXPECT_EQ(sizes.back().value, 349) << "1499 x 350 / 1500, truncated";
    XTestFakeMotionEvent(host, DefaultScreen(host), origin.x + 100, origin.y + 20, 0);
    XFlush(host);
    idleFor(60);
    button(false);
    sizes = TestHost::get().callsOf(audioMasterSizeWindow);
    EXPECT_EQ(sizes.back().index, 300);
    EXPECT_EQ(sizes.back().value, 70);
    ERect* rect = nullptr;
    plugin->dispatch(effEditGetRect, 0, 0, &rect);
    EXPECT_EQ(rect->right, 300);
    EXPECT_EQ(rect->bottom, 70);
    XWindowAttributes a {};
    XGetWindowAttributes(host, window.children().at(0), &a);
    EXPECT_EQ(a.width, 300);
    EXPECT_EQ(a.height, 70);
    EXPECT_TRUE(edits().empty()) << "a resize is no parameter gesture";

    // The size is the plug-in's: the next editor opens at it, and a host that refuses to resize its
    // window gets its parent resized directly.
    plugin->dispatch(effEditClose);
    openEditor();
    TestHost::get().sizeWindowAnswer = 0;
    plugin->dispatch(effEditGetRect, 0, 0, &rect);
    EXPECT_EQ(rect->right, 300);
    moveTo(290, 20);
    button(true);
    XTestFakeMotionEvent(host, DefaultScreen(host), origin.x + 490, origin.y + 20, 0);
    XFlush(host);
    idleFor(60);
    button(false);
    XSync(host, False);
    XGetWindowAttributes(host, parent, &a);
    EXPECT_EQ(a.width, 500);
    EXPECT_EQ(a.height, 116);
}

TEST_F(EditorWindow, HundredOpenCloseRoundsLeaveNoWindowsOrDescriptors)
{
    openEditor();
    plugin->dispatch(effEditClose);
    const int descriptors = openDescriptors();
    const auto resources = threadrig::serverResourcesOfThisProcess(host);   // pixmaps, GLX contexts, ...
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1) << round;
        plugin->dispatch(effEditIdle);
        plugin->dispatch(effEditClose);
    }
    XSync(host, False);
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(threadrig::serverResourcesOfThisProcess(host), resources);
}

TEST_F(EditorWindow, HostWindowDestroyedBeforeClose)
{
    openEditor();
    XDestroyWindow(host, parent);
    XSync(host, False);
    parent = 0;
    idleFor(60);
    plugin->dispatch(effEditClose);
    plugin->dispatch(effEditIdle);
    // The next editor opens normally.
    window.makeParent(800, 200);
    openEditor();
    EXPECT_EQ(window.children().size(), 1u);
}

} // namespace

namespace {

/** An X server of the test's own, which the test may stop while the editor is on it. */
class PrivateXServer {
public:
    PrivateXServer()
    {
        for (int n = 300 + getpid() % 200, tries = 0; tries < 50 && pid <= 0; ++n, ++tries) {
            if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0)
                continue;
            name = ":" + std::to_string(n);
            char* argv[] = {const_cast<char*>("Xvfb"), name.data(), const_cast<char*>("-noreset"),
                            const_cast<char*>("-nolisten"), const_cast<char*>("tcp"), nullptr};
            posix_spawn_file_actions_t quiet;
            posix_spawn_file_actions_init(&quiet);
            posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
            if (posix_spawnp(&pid, "Xvfb", &quiet, nullptr, argv, environ) != 0)
                pid = -1;
            posix_spawn_file_actions_destroy(&quiet);
        }
        for (int wait = 0; pid > 0 && wait < 100; ++wait) {
            if (Display* probe = XOpenDisplay(name.c_str())) {
                XCloseDisplay(probe);
                ready = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~PrivateXServer() { stop(); }
    void stop()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    std::string name;
    bool ready = false;

private:
    pid_t pid = -1;
};

} // namespace

// Xlib ends the process when a connection breaks, unless told otherwise: the editor's connection
// breaking (the server going away, or closing us) must leave the host running, and a later editor
// must open normally on a server that is there.
TEST(EditorServerLoss, TheHostOutlivesTheEditorsXServer)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    PrivateXServer server;
    if (!server.ready)
        GTEST_SKIP() << "no Xvfb to start";
    const char* shared = std::getenv("DISPLAY");
    const std::string sharedDisplay = shared != nullptr ? shared : "";
    setenv("DISPLAY", server.name.c_str(), 1);
    // The test's own connection to that server breaks too: it survives as a careful host would.
    const XIOErrorHandler hostHandler = XSetIOErrorHandler([](Display*) { return 0; });
    {
        HostWindow window;
        ASSERT_NE(window.display, nullptr);
        XSetIOErrorExitHandler(window.display, [](Display*, void*) {}, nullptr);
        LoadedPlugin plugin;
        plugin.dispatch(effMainsChanged, 0, 1);
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1);
        const auto idleFor = [&](int milliseconds) {
            for (int i = 0; i < milliseconds / 5; ++i) {
                plugin.dispatch(effEditIdle);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        };
        idleFor(200);
        server.stop();
        idleFor(300);
        std::vector<float> buffer(256, 0.5f);
        float* io[2] = {buffer.data(), buffer.data()};
        plugin.process(io, io, 256);
        plugin.dispatch(effEditClose);
        plugin.dispatch(effEditIdle);
    }
    XSetIOErrorHandler(hostHandler);
    if (sharedDisplay.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", sharedDisplay.c_str(), 1);

    if (!sharedDisplay.empty()) {
        HostWindow window;
        LoadedPlugin plugin;
        EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1) << "a new connection";
        plugin.dispatch(effEditIdle);
        plugin.dispatch(effEditClose);
    }
}
