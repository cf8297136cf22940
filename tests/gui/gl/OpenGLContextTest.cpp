// The OpenGL layer on a real X11 window (Xvfb with Mesa's software renderer in CI): contexts, texture
// uploads read back from the GPU and on-screen copies.
#include "framework/gui/linux/OpenGLContext.h"
#include "framework/gui/linux/OpenGLSurface.h"
#include "framework/gui/linux/OpenGLTexture.h"
#include "TestGLWindow.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace q9framework;

namespace {

uint32_t wordAt(const Image& image, int x, int y)
{
    uint32_t w;
    std::memcpy(&w, image.getPixelPointer(x, y), 4);
    return w;
}

/** An image whose every pixel is distinct and opaque: 0xFF, x, y, 0x5A. */
Image numberedImage(int width, int height)
{
    Image image(width, height, true);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t w = 0xff000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | 0x5au;
            std::memcpy(image.getPixelPointer(x, y), &w, 4);
        }
    return image;
}

std::vector<uint32_t> readTexture(const Texture& texture)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(texture.getWidth()) * texture.getHeight());
    glBindTexture(GL_TEXTURE_2D, texture.getNativeHandle());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    return pixels;
}

class OpenGLTest : public ::testing::Test {
protected:
    static constexpr int width = 96, height = 64;

    void SetUp() override
    {
        view = TestGLWindow::create(width, height, true, true);
        // Without DISPLAY there is nothing to test on; with one, failing to get a window is a failure.
        if (!view && std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (run under Xvfb)";
        ASSERT_NE(view, nullptr) << "no window with a GLX visual on " << std::getenv("DISPLAY");
        context = OpenGLContext::create(view->getDisplay(), view->getWindow(), true);
        ASSERT_NE(context, nullptr);
    }
    void TearDown() override
    {
        context.reset();
        view.reset();
    }

    std::unique_ptr<TestGLWindow> view;
    std::unique_ptr<OpenGLContext> context;
};

} // namespace

TEST_F(OpenGLTest, ContextIsCurrentAndKnowsItsWindow)
{
    EXPECT_TRUE(context->isCurrent());
    EXPECT_EQ(OpenGLContext::getCurrent(), context.get());
    EXPECT_EQ(context->getSize(), (PixelSize{width, height}));
    EXPECT_GE(context->getMaximumTextureSize(), 2048);
    EXPECT_NE(context->getNativeContext(), nullptr);

    auto second = OpenGLContext::create(view->getDisplay(), view->getWindow(), true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(OpenGLContext::getCurrent(), second.get()) << "a new context becomes current";
    {
        ScopedCurrentContext scope(*context);
        EXPECT_EQ(OpenGLContext::getCurrent(), context.get());
    }
    EXPECT_EQ(OpenGLContext::getCurrent(), second.get()) << "the scope puts the caller's context back";
    second.reset();
    EXPECT_EQ(OpenGLContext::getCurrent(), nullptr);
}

TEST_F(OpenGLTest, SingleBufferedContextsDrawWhereTheWindowShows)
{
    // Both kinds of window: a single-buffered context must not draw into a back buffer nobody shows.
    for (const bool visualHasBackBuffer : {false, true}) {
        SCOPED_TRACE(visualHasBackBuffer ? "double-buffered visual" : "single-buffered visual");
        auto window = TestGLWindow::create(32, 16, visualHasBackBuffer, true);
        ASSERT_NE(window, nullptr);
        auto single = OpenGLContext::create(window->getDisplay(), window->getWindow(), false);
        ASSERT_NE(single, nullptr);
        EXPECT_FALSE(single->isDoubleBuffered());
        single->beginFrame();
        single->fillRect({0, 0, 32, 16}, Colour(0, 255, 0));
        single->flush();
        glFinish();
        uint8_t rgba[4] = {0, 0, 0, 0};
        glReadBuffer(GL_FRONT);
        glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        EXPECT_EQ(rgba[1], 255);
        EXPECT_EQ(rgba[0], 0);
    }
}

TEST_F(OpenGLTest, UploadsChosenRectanglesClippedToTheTexture)
{
    auto texture = context->createTexture(40, 24, 0, 1);
    ASSERT_NE(texture, nullptr);
    texture->clear();
    const Image image = numberedImage(64, 20);   // wider but shorter than the texture
    const Rectangle areas[] = {{2, 3, 10, 5}, {30, 15, 50, 50}, {100, 0, 5, 5}};
    texture->upload(image, areas, 3, false);

    const std::vector<uint32_t> pixels = readTexture(*texture);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = areas[0].contains(x, y) || (Rectangle(30, 15, 10, 5).contains(x, y));
            ASSERT_EQ(pixels[static_cast<size_t>(y) * 40 + x], inside ? wordAt(image, x, y) : 0u) << x << "," << y;
        }

    texture->clear();
    const std::vector<uint32_t> cleared = readTexture(*texture);
    for (uint32_t p : cleared)
        ASSERT_EQ(p, 0u);
}

TEST_F(OpenGLTest, UnpremultiplyingUploadDividesByAlpha)
{
    Image image(4, 1, true);
    const uint8_t source[4][4] = {{64, 32, 0, 128}, {10, 20, 30, 0}, {1, 2, 3, 255}, {200, 100, 1, 200}};
    for (int x = 0; x < 4; ++x)
        std::memcpy(image.getPixelPointer(x, 0), source[x], 4);
    for (const bool withPixelBuffer : {true, false}) {
        SCOPED_TRACE(withPixelBuffer ? "pixel buffer" : "heap staging");
        OpenGLTexture texture(*context, 4, 1, 1, withPixelBuffer);
        const Rectangle all(0, 0, 4, 1);
        texture.upload(image, &all, 1, true);
        const std::vector<uint32_t> pixels = readTexture(texture);
        const uint8_t expected[4][4] = {{127, 63, 0, 128}, {255, 255, 255, 0}, {1, 2, 3, 255}, {255, 127, 1, 200}};
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(0, std::memcmp(&pixels[x], expected[x], 4)) << x;
    }
}

TEST_F(OpenGLTest, CopyAreaMovesMemoryAndUploadsTheDestination)
{
    auto surface = createSurface(context.get(), 3, 16, 16);
    ASSERT_NE(surface, nullptr);
    auto& gl = static_cast<OpenGLSurface&>(*surface);
    gl.getTexture()->clear();
    int32_t stride = 0;
    uint8_t* pixels = surface->lockPixels(stride);
    const Image content = numberedImage(16, 16);
    for (int y = 0; y < 16; ++y)
        std::memcpy(pixels + static_cast<ptrdiff_t>(y) * stride, content.getLinePointer(y), 16 * 4);
    surface->copyArea({0, 0, 4, 4}, {10, 10});
    EXPECT_EQ(wordAt(gl.getImage(), 10, 10), wordAt(content, 0, 0));
    const std::vector<uint32_t> texture = readTexture(*gl.getTexture());
    EXPECT_EQ(texture[13 * 16 + 13], wordAt(content, 3, 3));
    EXPECT_EQ(texture[0], 0u) << "only the destination was uploaded";
    surface->copyArea({14, 14, 4, 4}, {0, 0});   // leaves the image: refused
    EXPECT_EQ(wordAt(gl.getImage(), 0, 0), wordAt(content, 0, 0));
}

TEST_F(OpenGLTest, TexturesLeftBehindByTheirContextAreCutLoose)
{
    auto texture = context->createTexture(8, 8, 0, 1);
    ASSERT_TRUE(texture && texture->isValid());
    context.reset();
    EXPECT_FALSE(texture->isValid());
    const Image image = numberedImage(8, 8);
    const Rectangle all(0, 0, 8, 8);
    texture->upload(image, &all, 1, false);   // does nothing rather than touching a dead context
    texture.reset();
}

TEST_F(OpenGLTest, StaleGlErrorsDoNotFailNewTextures)
{
    // Someone else's code (the host's, or ours elsewhere) left errors in the context's flags.
    glEnable(0x7FFF);
    glBindTexture(0x7FFF, 1);
    const auto texture = context->createTexture(16, 16, 0, 0);
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(texture->getNativeHandle(), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "a texture that succeeds leaves no error behind";
}
