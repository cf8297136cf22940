#pragma once
#include "framework/gui/Component.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/resources/Image.h"

namespace q9framework {

/** Shows a component tree designed at one size inside a component of another size: the effect's panel
    is designed on its 1500 x 350 artwork and shown at the editor's size (750 x 175 by default).

    The content lives in a nested ComponentsContainer of its own (which owns it) at the content's own
    size. The nested tree paints into a content image; the adapter draws that image, resampled to its
    own size when the sizes differ (windowed sinc, Painter::drawImageTransformed) or directly when they
    are equal. Dirty areas of the nested tree become dirty areas of the outer tree through the scale,
    and pointer events on the adapter reach the nested tree through the inverse scale (every press as
    the primary button). The nested tree ticks with the outer one: update() broadcasts to it, and the
    nested container uses the outer window as its host (cursors, mouse lock, screen position).
    Main thread only. */
class AdapterComponent : public Component,
                         public ComponentsContainer::Listener,
                         public Component::Listener {
public:
    AdapterComponent();
    /** Destroys the content with the nested container. */
    ~AdapterComponent() override;

    /** The nested container takes `content` as its visible root (destroying the previous content) at
        the content's size; the content image follows that size from now on, also when the content is
        resized later. Null removes the content. */
    void setContent(Component* content);
    Component* getContent() const noexcept { return content; }
    /** The nested tree's container (focus, keys and drags of the content go through it). */
    ComponentsContainer& getNestedContainer() noexcept { return nested; }
    /** The nested tree's last picture at content size (null without content). */
    const Image& getContentImage() const noexcept { return contentImage; }

    /** Content coordinates of a point of the adapter: x · content width / adapter width, y likewise,
        truncated; the point itself when either size is 0. */
    Point toContent(Point adapterPoint) const noexcept;
    /** The adapter area (its own coordinates) that shows the content area, rounded outward and widened
        by the reach of the resampling filter, so that every adapter pixel whose resampled value depends
        on the content area is inside. */
    Rectangle toAdapter(const Rectangle& contentArea) const noexcept;

    // Component
    void paint(Painter& painter) override;
    Mouse::Cursor getMouseCursor() override;
    void mouseMove(const MouseEvent& event) override;
    void mouseDrag(const MouseEvent& event) override;
    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;
    void mouseEnter(const MouseEvent& event) override;
    void mouseExit(const MouseEvent& event) override;
    /** Always consumed: the wheel belongs to the nested tree. */
    bool mouseWheel(const MouseEvent& event) override;
    void update() override;

    // ComponentsContainer::Listener (from the nested container)
    void areaInvalidated(const Rectangle& area) override;
    void areaMoved(const Rectangle& source, const Rectangle& destination) override;
    void areaMovedOnScreen(const Rectangle& source, const Rectangle& destination) override;

    // Component::Listener (from the content)
    void componentResized(Component& component) override;
    void componentBeingDeleted(Component& component) override;

private:
    void forward(const MouseEvent& event, MouseEventType type, uint32_t button);
    void contentSizeChanged();

    ComponentsContainer nested;
    Component* content = nullptr;    // owned by `nested`
    Image contentImage;              // content size
    Image scaledImage;               // adapter size, when the sizes differ
    Point lastPosition;              // last pointer position, content coordinates
};

} // namespace q9framework
