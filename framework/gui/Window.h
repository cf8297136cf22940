#pragma once
#include "framework/gui/Component.h"
#include "framework/gui/KeyEvent.h"
#include "framework/gui/MouseEvent.h"
#include "framework/gui/NativeWindow.h"
#include "framework/core/Geometry.h"
#include "framework/core/String.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

class RenderingContext;

/** The toolkit's top-level native surface: a stand-alone window of its own, or a view embedded in a
    window the host supplies (the plug-in editor always embeds). The Window keeps the logic (style,
    lists, mouse lock, key translation, scale, the frame loop); the native window (NativeWindow, made by
    the installed platform factory) does the drawing surface and the input.

    Life: construct (flags; entered in the process-wide list), createNative (the native window, the GPU
    context with `openGLFlag`, entry in the frame timer's list), use, destroy. Every window in the frame
    list gets `tick` and, with OpenGL, `redraw(0)` every 16 ms from the process-wide VSyncTimer, a Timer
    of the main MessageLoop, so frames come as often as that loop is pumped (effEditIdle in a plug-in).

    A stand-alone window's close button takes it out of the frame list; when it was the last stand-alone
    window the main loop is asked to quit (the application ends), otherwise the window deletes itself,
    so give such windows an alive flag (setAliveFlag) or let them be the last. An embedded window lives
    until its owner destroys it, also when the host destroyed the parent first (it then just stops
    drawing). Main thread (the loop's thread) only. */
class Window : protected NativeWindow::Owner {
public:
    /** Style flags, given at construction. */
    enum StyleFlags : uint32_t {
        openGLFlag = 0x0008,            // GPU context on the view; redrawn by the frame timer; surface kind 1
        repaintOnResizeFlag = 0x0010,   // a resize repaints everything and remakes the surface
        alwaysRepaintFlag = 0x0020,     // paint and present every frame, dirty or not
        quartzFlag = 0x0040,            // surface kind 2 (a memory surface here)
        openGLSurfaceFlag = 0x0080,     // surface kind 3 (needs openGLFlag)
        bestResolutionFlag = 0x0100,    // device-pixel backing: the desktop scale reaches the tree
        noVSyncFlag = 0x0200,           // swap interval 0 (otherwise 1)
        scaledContentFlag = 0x0400,     // the tree keeps its root's size; its picture is resampled
        pluginEditorFlag = 0x1000,      // set by the plug-in editor; no effect here
        noAreaCopyFlag = 0x8000,        // the container moves areas on screen only
        requestOpenGLFlag = 0x10000,    // replaced by openGLFlag at construction
    };

    /** Adjusts the flags (requestOpenGLFlag becomes openGLFlag) and enters the process-wide list. No
        native window yet: call createNative. */
    explicit Window(uint32_t flags);
    /** Leaves the lists, destroys the native window and the GPU context, sets the alive flag. */
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    //==============================================================================================
    // Virtual operations

    virtual void backingScaleChanged(double newScale, double oldScale);
    /** Destroys the GPU context, then the native window (the Window object stays). */
    virtual void close();
    virtual bool isInterestedInFiles(Point position, const FileList& files);
    virtual void filesDropped(Point position, const FileList& files);
    /** A pointer event in window pixels (top-left origin). */
    virtual void mouseEvent(int pointer, MouseEventType type, Point position, uint32_t button, int clicks,
                            float wheelX, float wheelY);
    virtual void resized(Point size);
    virtual void moved();
    /** The frame timer's periodic tick. */
    virtual void tick();
    /** Draws a frame (the frame timer passes 0). */
    virtual void redraw(int argument);
    /** Makes the native window: a top-level one when parentView is null, else a child of it (on Linux
        the X11 window id that effEditOpen passes in `ptr`). With openGLFlag, also the GPU context (swap
        interval 0 with noVSyncFlag, else 1). Enters the frame list. False when there is no platform,
        no display or the parent is gone; the window then has no native side and draws nothing. */
    virtual bool createNative(Rectangle bounds, uint32_t createFlags, const String& title, void* parentView);
    /** Destroys the native window (the GPU context must be gone or unused after this). */
    virtual void destroyNative();
    virtual bool keyDown(KeyCode key, int32_t hardwareCode);
    virtual bool keyUp(KeyCode key, int32_t hardwareCode);
    /** The window gained or lost the keyboard focus. */
    virtual void activeChanged(bool active);
    virtual void releaseButtonsAt(Point position);

    //==============================================================================================

    void setBounds(Rectangle bounds);
    Rectangle getBounds();
    /** Stand-alone windows only. */
    void setTitle(const String& title);
    String getTitle() const { return title; }
    bool isZoomed();
    /** False for embedded windows. */
    bool isMinimised();
    /** Pixels of the drawable (device pixels). (0, 0) without a native window. */
    Point getContentSize();
    Point getScreenPosition();
    /** The native drawable's handle (an X11 window id), null without one. */
    void* getContentView();
    /** Runs the main loop until this stand-alone window's close button is pressed (the window then
        stays: the close ends the modal run instead of destroying it) or something else quits the loop. */
    void runModal();
    void setMouseLocked(bool locked);
    bool isMouseLocked() const noexcept { return mouseLocked; }
    RenderingContext* getRenderingContext() const noexcept { return renderingContext.get(); }
    double getBackingScale() const noexcept { return backingScale; }
    uint32_t getFlags() const noexcept { return flags; }
    /** 1 stand-alone, 2 embedded, 0 without a native window. */
    int getKind() const noexcept { return kind; }
    bool hasNative() const noexcept { return native != nullptr; }
    NativeWindow* getNative() const noexcept { return native.get(); }
    /** `*flag` becomes true when this window is destroyed (a caller's way to notice a self-deletion). */
    void setAliveFlag(bool* flag) noexcept { aliveFlag = flag; }
    /** While set, a ComponentsWindow ignores invalidated areas. */
    void setIgnoringInvalidation(bool ignore) noexcept { ignoringInvalidation = ignore; }

    //==============================================================================================
    // Process-wide

    static const std::vector<Window*>& getAllWindows() noexcept;
    /** The windows the frame timer visits. */
    static const std::vector<Window*>& getFrameWindows() noexcept;
    static int getNumStandAloneWindows() noexcept;
    /** What the frame timer does every 16 ms: tick, then (OpenGL windows) redraw(0), for every window
        in the frame list. Public for programs that drive frames themselves, and for benchmarks. */
    static void runFrame();
    /** The frame timer's interval. */
    static constexpr uint32_t frameIntervalMilliseconds = 16;

    /** What a character from the platform's text system becomes (see NativeWindow::Owner::nativeKey). */
    enum class KeyMapping { send, consumed, refused };
    static KeyMapping mapKeyCharacter(uint32_t character, KeyCode& code) noexcept;

protected:
    // NativeWindow::Owner: the view's behaviour, in the toolkit's terms.
    void nativeMouseDown(Point position, uint32_t button, int clicks) override;
    void nativeMouseUp(Point position, uint32_t button) override;
    void nativeMouseMoved(Point position, Point screen, bool dragging) override;
    void nativeMouseWheel(Point position, float deltaX, float deltaY) override;
    void nativeMouseEntered(Point position) override;
    void nativeMouseExited() override;
    bool nativeKey(uint32_t character, int32_t hardwareCode, bool isDown) override;
    void nativeModifiersChanged(uint32_t modifiers) override;
    void nativeFocusChanged(bool active) override;
    void nativeResized(int32_t width, int32_t height) override;
    void nativeBackingScaleChanged(double scale) override;
    void nativeFilesDropped(Point position, const FileList& files) override;
    void nativeCloseButton() override;
    void nativeDestroyed() override;

    /** Drops the GPU objects that hang on the context (a ComponentsWindow's surface) before it goes. */
    virtual void releaseGraphics() {}

    void addToFrameList();
    void removeFromFrameList() noexcept;

    std::unique_ptr<RenderingContext> renderingContext;

private:
    bool mouseLocked = false;
    Point lockSavedPosition;
    Point lockAccumulated;
    Point lockPosition;
    bool ignoringInvalidation = false;
    uint32_t flags;
    std::unique_ptr<NativeWindow> native;
    int kind = 0;
    bool* aliveFlag = nullptr;
    double backingScale = 1.0;
    String title;
    Point lastMouseDown;
    bool countedStandAlone = false;
    bool modal = false;
    bool modalEnded = false;

protected:
    bool isIgnoringInvalidation() const noexcept { return ignoringInvalidation; }
};

/** Counts quick presses of the same button at about the same place, as the desktop's double-click does:
    a press within `interval` ms of the previous one, of the same button, no more than `distance` pixels
    away on either axis, adds one; anything else starts again at 1. */
class ClickCounter {
public:
    static constexpr double defaultInterval = 400.0;
    static constexpr int32_t defaultDistance = 4;

    int press(uint32_t button, Point position, double timeMilliseconds) noexcept;

private:
    uint32_t lastButton = 0;
    Point lastPosition;
    double lastTime = 0.0;
    int count = 0;
};

} // namespace q9framework
