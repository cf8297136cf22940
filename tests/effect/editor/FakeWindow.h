#pragma once
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/RenderingContext.h"
#include "framework/gui/Surface.h"
#include "framework/gui/Texture.h"

#include <array>
#include <memory>
#include <vector>

namespace q9test {

using namespace q9framework;

/** One Texture::draw call as the GPU would get it. */
struct DrawCall {
    std::array<double, 4> source;
    std::array<double, 8> corners;
    float alpha;
};

/** A rendering context that records what components ask of it: textures made (with the pixels they
    received), textures deleted, draws, clips. The record outlives the context, so textures deleted while
    it closes (or after) still count. */
class FakeContext : public RenderingContext {
public:
    struct Record;

    class FakeTexture : public Texture {
    public:
        FakeTexture(FakeContext& c, int32_t w, int32_t h) : Texture(&c, w, h, 1), record(c.record) {}
        ~FakeTexture() override { ++record->texturesDeleted; }
        void clear() override {}
        void upload(const Image& image, const Rectangle*, int, bool) override { pixels = image.clone(); }
        void draw(const double source[4], const double corners[8], float alpha) override
        {
            DrawCall d{{}, {}, alpha};
            std::copy(source, source + 4, d.source.begin());
            std::copy(corners, corners + 8, d.corners.begin());
            record->draws.push_back(d);
        }
        bool isValid() const override { return valid; }

        std::shared_ptr<Record> record;
        Image pixels;
        bool valid = true;
    };

    struct Record {
        int texturesMade = 0, texturesDeleted = 0;
        FakeTexture* lastTexture = nullptr;
        std::vector<DrawCall> draws;
        std::vector<Rectangle> clips;
    };

    std::unique_ptr<Texture> createTexture(int32_t w, int32_t h, int32_t, int32_t) override
    {
        ++record->texturesMade;
        auto t = std::make_unique<FakeTexture>(*this, w, h);
        record->lastTexture = t.get();
        return t;
    }
    std::unique_ptr<Surface> createWindowSurface(int32_t, int32_t) override { return nullptr; }
    Rectangle getClip() override { return clip; }
    void setClip(Rectangle r) override
    {
        clip = r;
        record->clips.push_back(r);
    }
    void drawRectOutline(Rectangle, const Colour[4]) override {}
    void fillRectCorners(Rectangle, const Colour[4]) override {}
    void drawLine(Point, Point, Colour) override {}
    void fillCircle(Rectangle, Colour) override {}
    void setSize(int32_t, int32_t) override {}
    PixelSize getSize() const override { return {}; }
    void* getNativeContext() const override { return nullptr; }

    std::shared_ptr<Record> record = std::make_shared<Record>();
    Rectangle clip{1, 2, 3, 4};
};

/** The window around a component tree: only the rendering context matters here. */
struct FakeHost : public ComponentsHost {
    Point getScreenPosition() override { return {}; }
    void showCursor(const Mouse::Cursor&) override {}
    void setMouseLocked(bool) override {}
    RenderingContext* getRenderingContext() override { return context; }
    RenderingContext* context = nullptr;
};

} // namespace q9test
