// Frames of a ComponentsWindow at the editor's sizes: the panel's tree is 1500 x 350 and the default
// editor shows it scaled to 750 x 175. Each iteration is one frame as the 16 ms timer runs it (paint the
// dirty part, upload the changed rectangles, draw the texture, flush). Needs an X display with GLX
// (Xvfb with Mesa); without one every benchmark reports an error.
#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/Painter.h"
#include "framework/gui/linux/LinuxPlatform.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace q9framework;

namespace {

constexpr int treeWidth = 1500, treeHeight = 350;

/** A panel-like tree: an opaque background and a grid of knob-sized children with a disc each. */
struct Knob : Component {
    explicit Knob(Rectangle area)
    {
        setBounds(area, false);
        setVisible(true);
    }
    void paint(Painter& p) override
    {
        p.fillRect(Rectangle(0, 0, getWidth(), getHeight()), Colour(40, 40, 44, 255), false);
        p.fillCircle(Colour(200, 120, 30, 255), getWidth() * 0.5f, getHeight() * 0.5f, getWidth() * 0.4f);
    }
};

struct Panel : Component {
    Panel()
    {
        setBounds(Rectangle(0, 0, treeWidth, treeHeight), false);
        setVisible(true);
        setFlag(opaqueFlag, true);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 12; ++column)
                addChild(new Knob(Rectangle(20 + column * 120, 20 + row * 110, 90, 90)));
    }
    void paint(Painter& p) override
    {
        p.fillRect(Rectangle(0, 0, getWidth(), getHeight()), Colour(18, 18, 20, 255), false);
    }
};

std::unique_ptr<ComponentsWindow> makeWindow(benchmark::State& state, int width, int height, uint32_t extraFlags)
{
    installLinuxGuiPlatform();
    auto window = std::make_unique<ComponentsWindow>(Rectangle(0, 0, width, height),
                                                     Window::openGLFlag | Window::noVSyncFlag | extraFlags,
                                                     String("bench"), nullptr);
    if (!window->hasNative()) {
        state.SkipWithError("no X display with GLX");
        return nullptr;
    }
    auto* panel = new Panel();
    window->getContainer().setRoot(panel, true, true);
    window->getContainer().setSize(treeWidth, treeHeight);
    window->redraw(0);
    return window;
}

void frameNothingDirty(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth, treeHeight, 0);
    if (window == nullptr)
        return;
    for (auto _ : state)
        window->redraw(0);
}

// The toolkit's share of that frame: the same repaint with the context current but no per-frame set-up
// and no flush, so Mesa's rasterising and presenting are left out.
void repaintNothingDirtyWithoutPresenting(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth, treeHeight, 0);
    if (window == nullptr)
        return;
    for (auto _ : state)
        window->repaint(0);
}

void frameOneSmallComponentDirty(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth, treeHeight, 0);
    if (window == nullptr)
        return;
    Component* knob = window->getContainer().getRoot()->getChild(17);
    for (auto _ : state) {
        knob->repaint();
        window->redraw(0);
    }
}

void frameFullRepaint(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth, treeHeight, 0);
    if (window == nullptr)
        return;
    for (auto _ : state) {
        window->getContainer().repaintAll();
        window->redraw(0);
    }
    state.SetItemsProcessed(state.iterations() * treeWidth * treeHeight);
}

void frameScaledFullRepaint(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth / 2, treeHeight / 2, Window::scaledContentFlag);
    if (window == nullptr)
        return;
    for (auto _ : state) {
        window->getContainer().repaintAll();
        window->redraw(0);
    }
    state.SetItemsProcessed(state.iterations() * (treeWidth / 2) * (treeHeight / 2));
}

void frameScaledOneSmallComponentDirty(benchmark::State& state)
{
    auto window = makeWindow(state, treeWidth / 2, treeHeight / 2, Window::scaledContentFlag);
    if (window == nullptr)
        return;
    Component* knob = window->getContainer().getRoot()->getChild(17);
    for (auto _ : state) {
        knob->repaint();
        window->redraw(0);
    }
}

} // namespace

BENCHMARK(frameNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(repaintNothingDirtyWithoutPresenting)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameOneSmallComponentDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameFullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameScaledFullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameScaledOneSmallComponentDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
