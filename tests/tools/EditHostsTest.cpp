// The editor hosts on the real plug-in under an X display: the programs write screenshots of the
// editor's size, and the Audio Unit view path opens the effect's editor inside a host's window and
// leaves nothing behind.

#include "tools/au/AUBundleComponent.h"
#include "tools/au/AUHostedView.h"
#include "tests/support/RunCommand.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kelvane;

namespace {

struct PngSize {
    unsigned width = 0;
    unsigned height = 0;
};

/** The size in a PNG's header; 0 x 0 when the file is not a PNG. */
PngSize pngSize(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P' || header[2] != 'N' || header[3] != 'G')
        return {};
    auto word = [&](int at) {
        return (unsigned(header[at]) << 24) | (unsigned(header[at + 1]) << 16) | (unsigned(header[at + 2]) << 8) | header[at + 3];
    };
    return {word(16), word(20)};
}

class EditHosts : public ::testing::Test {
protected:
    fs::path folder;
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
        folder = fs::path(::testing::TempDir()) / ("kelvane-edit-" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
};

TEST_F(EditHosts, ScreenshotsHaveTheEditorsSizeThroughBothInterfaces)
{
    const struct {
        std::string arguments;
        unsigned width, height;
    } cases[] = {
        {"edit --size 1500x350", 1500, 350},
        {"au edit", 750, 175},
    };
    for (const auto& c : cases) {
        const fs::path png = folder / "shot.png";
        fs::remove(png);
        const auto run = testsupport::runCommand("'" KELVANE_PROGRAM "' " + c.arguments + " --after-ms 300 --screenshot '"
                                                 + png.string() + "'");
        EXPECT_EQ(run.status, 0) << c.arguments << ": " << run.output;
        const PngSize size = pngSize(png);
        // The editor keeps its proportions and may round a large size by a pixel.
        EXPECT_NEAR(size.width, c.width, 1u) << c.arguments;
        EXPECT_NEAR(size.height, c.height, 1u) << c.arguments;
    }
}

/** The children of `window` on `display`. */
std::vector<Window> childrenOf(Display* display, Window window)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

TEST_F(EditHosts, AudioUnitViewHoldsTheEditorInTheHostsWindowAndLeavesNoWindows)
{
    AUBundleComponent component;
    std::string error;
    ASSERT_TRUE(component.load(KELVANE_BUNDLE, error)) << error;
    std::unique_ptr<AUHostInstance> unit = component.createInstance();
    ASSERT_EQ(unit->open(), noErr);

    // The host's side: a window of its own on its own connection.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);

    {
        std::unique_ptr<AUHostedView> view = AUHostedView::create(*unit, parent, error);
        ASSERT_NE(view, nullptr) << error;
        EXPECT_EQ(view->factoryClassName().rfind("TandrilViewFactory", 0), 0u);
        EXPECT_EQ(view->viewClassName().rfind("TandrilView", 0), 0u);
        EXPECT_NE(view->viewClassName(), view->factoryClassName());
        EXPECT_EQ(view->width(), 750);
        EXPECT_EQ(view->height(), 175);
        unit->fireTimers();     // the component's idle timer idles the editor

        XSync(display, False);
        EXPECT_EQ(childrenOf(display, parent), std::vector<Window>{view->window()});
        EXPECT_EQ(childrenOf(display, view->window()).size(), 1u) << "the effect's editor window inside the view";

        // A second view closes the first one's editor before its own opens.
        std::unique_ptr<AUHostedView> second = AUHostedView::create(*unit, parent, error);
        ASSERT_NE(second, nullptr) << error;
        XSync(display, False);
        EXPECT_TRUE(childrenOf(display, view->window()).empty());
        EXPECT_EQ(childrenOf(display, second->window()).size(), 1u);
        // The host lets go of the old view first: the current one keeps its editor.
        view.reset();
        XSync(display, False);
        EXPECT_EQ(childrenOf(display, second->window()).size(), 1u);
    }
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());

    // Closing the unit before the host lets go of a view: the view no longer reaches the component.
    std::unique_ptr<AUHostedView> late = AUHostedView::create(*unit, parent, error);
    ASSERT_NE(late, nullptr) << error;
    EXPECT_EQ(unit->close(), noErr);
    late.reset();
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());

    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
