// The painter and the upload path at the editor's sizes: the artwork is 1500 x 350 and the default
// editor shows it at 750 x 175. Upload benchmarks need an X display with GLX (run under Xvfb); without
// one they report an error and skip.
#include "framework/gui/Painter.h"
#include "framework/gui/Texture.h"
#include "framework/gui/linux/OpenGLContext.h"
#include "TestGLWindow.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstring>
#include <random>

using namespace q9framework;

namespace {

constexpr int artWidth = 1500, artHeight = 350;

Image translucentArtwork(int width, int height)
{
    Image image(width, height, true);
    std::mt19937 random(1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.getPixelPointer(x, y);
            const uint8_t alpha = (x / 40 + y / 40) % 3 == 0 ? 255 : uint8_t(random() % 256);
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(random() % (alpha + 1));
            p[3] = alpha;
        }
    return image;
}

void setPixels(benchmark::State& state, int width, int height)
{
    state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_FillOpaque(benchmark::State& state)
{
    Image target(artWidth, artHeight, true);
    Painter painter(target);
    for (auto _ : state) {
        painter.fillAll(Colour(30, 32, 36), false);
        benchmark::ClobberMemory();
    }
    setPixels(state, artWidth, artHeight);
}
BENCHMARK(BM_FillOpaque)->Unit(benchmark::kMicrosecond);

void BM_FillBlended(benchmark::State& state)
{
    Image target(artWidth, artHeight, true);
    Painter painter(target);
    for (auto _ : state) {
        painter.fillAll(Colour(200, 100, 50, 128), true);
        benchmark::ClobberMemory();
    }
    setPixels(state, artWidth, artHeight);
}
BENCHMARK(BM_FillBlended)->Unit(benchmark::kMicrosecond);

void BM_DrawImage(benchmark::State& state)
{
    const bool blend = state.range(0) != 0;
    const Image artwork = translucentArtwork(artWidth, artHeight);
    Image target(artWidth, artHeight, true);
    Painter painter(target);
    for (auto _ : state) {
        painter.drawImageAt(artwork, {0, 0}, blend, 200);
        benchmark::ClobberMemory();
    }
    state.SetLabel(blend ? "blended, alpha 200" : "copied");
    setPixels(state, artWidth, artHeight);
}
BENCHMARK(BM_DrawImage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Resample(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const Image artwork = translucentArtwork(artWidth, artHeight);
    Image destination(width, height, true);
    const Rectangle all(0, 0, width, height);
    for (auto _ : state) {
        Image result = Painter::drawImageTransformed(destination, artwork, &all, 1, -1);
        benchmark::DoNotOptimize(result);
    }
    setPixels(state, width, height);
}
BENCHMARK(BM_Resample)->Args({750, 175})->Args({1499, 350})->Unit(benchmark::kMillisecond);

/** A frame's worth of changed rectangles (four knobs, two meters, a switch) of a 750 x 175 window, or
    the whole window, through the surface texture's streamed pixel buffer. */
void BM_UploadFrame(benchmark::State& state)
{
    const bool whole = state.range(0) != 0;
    auto view = TestGLWindow::create(750, 175, true, false);
    auto context = view ? OpenGLContext::create(view->getDisplay(), view->getWindow(), true) : nullptr;
    if (!context) {
        state.SkipWithError("no X display with GLX");
        return;
    }
    auto texture = context->createTexture(750, 175, 1, 1);
    const Image frame = translucentArtwork(750, 175);
    const Rectangle changed[] = {{40, 60, 70, 70},   {150, 60, 70, 70}, {530, 60, 70, 70}, {640, 60, 70, 70},
                                 {250, 20, 120, 90}, {380, 20, 120, 90}, {340, 130, 30, 30}};
    const Rectangle all(0, 0, 750, 175);
    int pixels = 0;
    for (const Rectangle& r : changed)
        pixels += r.width * r.height;
    for (auto _ : state) {
        if (whole)
            texture->upload(frame, &all, 1, false);
        else
            texture->upload(frame, changed, 7, false);
        glFinish();
    }
    state.SetLabel(whole ? "whole 750 x 175" : "7 changed rectangles");
    state.SetItemsProcessed(state.iterations() * (whole ? 750 * 175 : pixels));
}
BENCHMARK(BM_UploadFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
