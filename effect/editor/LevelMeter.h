#pragma once
#include "effect/editor/ComponentEx.h"
#include "effect/editor/MeterGeometry.h"
#include "framework/gui/RenderingContext.h"
#include "framework/gui/Texture.h"

#include <memory>

/** An analogue needle meter of the effect's panel (input and output level). It paints nothing: the panel
    stores the needle position on every tick (position = MeterGeometry::levelToPosition of the plug-in's
    peak level), and the panel's frameFinished calls the meter's, which draws the needle straight
    through the window's rendering context on top of the finished picture, at the editor's current
    scale. So the needle's motion never dirties the panel.

    Drawing (frameFinished), with the meter's bounds in panel coordinates:
    - without a rendering context nothing happens; otherwise the meter listens to that context;
    - the scale class k (MeterGeometry::scaleClass of sx) picks the needle texture's cut; the texture
      (a dark grey line, textureWidth × twice the meter height) is rebuilt only when k changes, when
      there is none (first frame, after the context went, after releaseResources) or when it is no
      longer valid; a texture that cannot be made leaves the frame without needle and is retried;
    - the needle and a faint shadow copy (alpha 0.9 and 0.05) are drawn turned by the needle angle
      about the needle's bottom centre, clipped to the meter's bounds rounded outward to whole window
      pixels; the context's clip is put back afterwards.
    The panel sits at the window's top-left corner (the editor places its adapter at (0, 0)), so panel
    coordinates times the scale are window pixels.

    Ownership: the meter owns its texture and deletes it before it goes (the context must outlive it,
    or tell the meter it is closing). scaleSource is borrowed and must outlive the meter; in the panel it
    is the AdapterComponent that shows it. Main thread only. */
class LevelMeter : public ComponentEx, public q9framework::RenderingContext::Listener {
public:
    /** At rest (position 0); no texture until the first frame. The panel then sets only the bounds. */
    explicit LevelMeter(q9framework::Component* scaleSource);
    ~LevelMeter() override;

    /** The needle position 0..1, stored as is for the next frame (no smoothing: the plug-in's peak
        measurement already falls back at its own rate). */
    void setPosition(float newPosition) noexcept { position = newPosition; }

    /** Draws the needle (above). */
    void frameFinished() override;
    /** Deletes the texture; the next frame builds it again. */
    void releaseResources() override;
    /** The context goes: its textures go with it, so the meter forgets its own and builds a new one on
        the next frame that finds a context. */
    void renderingContextClosing(q9framework::RenderingContext& context) override;

    q9framework::Texture* getTexture() const noexcept { return texture.get(); }

private:
    void listenTo(q9framework::RenderingContext& context);
    void buildTexture(q9framework::RenderingContext& context);

    q9framework::Component* scaleSource;
    float position = 0.0f;
    int thickness = 1;
    int textureWidth = 8;
    int builtFactor = 0;
    std::unique_ptr<q9framework::Texture> texture;
    // The context we listen to and made the texture on; cleared when it says it is closing.
    q9framework::RenderingContext* listenedContext = nullptr;
};
