#pragma once
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/MemorySurface.h"
#include "framework/gui/Surface.h"
#include "framework/gui/Window.h"

#include <memory>

namespace q9framework {

/** A Window that shows a component tree: it owns a ComponentsContainer (hosted by this window) and
    the window Surface the tree is painted into, and presents only what changed each frame.

    Typical use (the plug-in editor in a host's window):

        auto window = std::make_unique<ComponentsWindow>(Rectangle(0, 0, w, h),
                          Window::openGLFlag | Window::bestResolutionFlag | Window::pluginEditorFlag,
                          String(), reinterpret_cast<void*>(parentXWindowId));
        if (!window->hasNative()) ...               // no display, or the parent is gone
        window->getContainer().setRoot(editor, true, true);
        window->getContainer().setSize(editor->getWidth(), editor->getHeight());

    and then pump the main MessageLoop (effEditIdle): every 16 ms the tree hears `update` and the dirty
    part is painted and presented. A stand-alone window passes a null parent and gets a close button.

    With scaledContentFlag the container keeps its root's own size, paints into an off-screen picture of
    that size, and the picture is resampled to the window's size; pointer positions are scaled the other
    way. Without it the container takes the window's size. Main thread only. */
class ComponentsWindow : public Window, public ComponentsContainer::Listener, public ComponentsHost {
public:
    /** Builds the window, creates the native side (see Window::createNative) and gives the container
        the window's backing scale. Check hasNative() for failure. */
    ComponentsWindow(Rectangle bounds, uint32_t styleFlags, const String& windowTitle, void* parentView);
    /** The surfaces go before the GPU context; the container destroys the root it holds. */
    ~ComponentsWindow() override;

    ComponentsContainer& getContainer() noexcept { return container; }
    Surface* getSurface() const noexcept { return surface.get(); }

    /** Window-pixel position to container coordinates (the same unless the content is scaled). */
    Point toContainer(Point windowPosition);
    /** Container rectangle to window pixels, widened to whole pixels (the same unless scaled). */
    Rectangle toWindow(const Rectangle& containerArea);

    /** One repaint as the frame does it, inside an OpenGL frame or not: paint what is dirty, present
        what changed, draw the surface. */
    void repaint(int argument);

    // Window
    void backingScaleChanged(double newScale, double oldScale) override;
    bool isInterestedInFiles(Point position, const FileList& files) override;
    void filesDropped(Point position, const FileList& files) override;
    void mouseEvent(int pointer, MouseEventType type, Point position, uint32_t button, int clicks, float wheelX,
                    float wheelY) override;
    void resized(Point size) override;
    void tick() override;
    void redraw(int argument) override;
    bool keyDown(KeyCode key, int32_t hardwareCode) override;
    bool keyUp(KeyCode key, int32_t hardwareCode) override;
    void activeChanged(bool active) override;
    void releaseButtonsAt(Point position) override;

    // ComponentsContainer::Listener
    void areaInvalidated(const Rectangle& area) override;
    void areaMoved(const Rectangle& source, const Rectangle& destination) override;
    void areaMovedOnScreen(const Rectangle& source, const Rectangle& destination) override;

    // ComponentsHost
    Point getScreenPosition() override { return Window::getScreenPosition(); }
    Point getPointerScreenPosition() override
    {
        return getNative() != nullptr ? getNative()->getPointerScreenPosition() : Window::getScreenPosition();
    }
    void showCursor(const Mouse::Cursor& cursor) override;
    void setMouseLocked(bool locked) override { Window::setMouseLocked(locked); }
    RenderingContext* getRenderingContext() override { return Window::getRenderingContext(); }

protected:
    void releaseGraphics() override;

private:
    bool isScaled() const noexcept { return (getFlags() & scaledContentFlag) != 0; }
    int getSurfaceKind() const noexcept;
    void releaseAllButtons(Point position);

    ComponentsContainer container;
    std::unique_ptr<Surface> surface;
    std::unique_ptr<MemorySurface> scaledPicture;
    Array<Rectangle> rectangles;   // scratch of repaint
};

} // namespace q9framework
