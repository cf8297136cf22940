#pragma once
#include "framework/gui/Component.h"
#include "framework/gui/MouseCursor.h"
#include "framework/core/Geometry.h"
#include "framework/core/String.h"

#include <cstdint>
#include <memory>

namespace q9framework {

class RenderingContext;

/** The platform half of a Window: one native window (a top-level window of its own, or a child of a
    window the host gives) with its input translated into the calls of `Owner`. The toolkit declares it;
    the platform library implements it and installs a factory (installLinuxGuiPlatform on Linux), so the
    toolkit never links the platform back.

    All positions are pixels with a top-left origin; sizes are device pixels. Every call, and every
    callback, happens on the thread that pumps the main MessageLoop. Destroying the object destroys the
    platform window (quietly, if the platform already destroyed it with its parent). */
class NativeWindow {
public:
    /** What the native window reports, already in the toolkit's terms (buttons 1 left, 4 right, 2
        middle; key characters as below). The Window implements it. */
    class Owner {
    public:
        virtual ~Owner() = default;
        /** A press; `clicks` counts quick presses of the same button at about the same place. */
        virtual void nativeMouseDown(Point position, uint32_t button, int clicks) = 0;
        virtual void nativeMouseUp(Point position, uint32_t button) = 0;
        /** A move; `dragging` when a button is held. `screen` is the pointer on the screen. */
        virtual void nativeMouseMoved(Point position, Point screen, bool dragging) = 0;
        virtual void nativeMouseWheel(Point position, float deltaX, float deltaY) = 0;
        virtual void nativeMouseEntered(Point position) = 0;
        virtual void nativeMouseExited() = 0;
        /** One key with one character: the character as the platform's text system names it (the
            arrows 0xF700 up, 0xF701 down, 0xF702 left, 0xF703 right; forward delete 0xF728; return 13,
            enter 3; backspace 127; tab 9; otherwise the Unicode code point). True when it was used. */
        virtual bool nativeKey(uint32_t character, int32_t hardwareCode, bool isDown) = 0;
        /** The modifier keys after a change: a mask of `Modifier` bits. */
        virtual void nativeModifiersChanged(uint32_t modifiers) = 0;
        virtual void nativeFocusChanged(bool active) = 0;
        virtual void nativeResized(int32_t width, int32_t height) = 0;
        virtual void nativeBackingScaleChanged(double scale) = 0;
        virtual void nativeFilesDropped(Point position, const FileList& files) = 0;
        /** The close button of a top-level window. */
        virtual void nativeCloseButton() = 0;
        /** The platform destroyed the window under us (a host destroyed the parent first). */
        virtual void nativeDestroyed() = 0;
    };

    /** Modifier bits of nativeModifiersChanged. */
    enum Modifier : uint32_t {
        modifierShift = 0x20000,
        modifierControl = 0x40000,
        modifierOption = 0x80000,     // Alt
        modifierCommand = 0x100000,   // Super
    };

    virtual ~NativeWindow() = default;

    /** Top-level windows: the frame on the screen; embedded ones: position in the parent and size. */
    virtual void setBounds(Rectangle bounds) = 0;
    virtual Rectangle getBounds() = 0;
    virtual void setTitle(const String& title) = 0;
    virtual Point getContentSize() = 0;
    virtual Point getScreenPosition() = 0;
    virtual bool isZoomed() = 0;
    virtual bool isMinimised() = 0;
    /** The platform handle of the drawable (an X11 window id on Linux, as a pointer-sized value). */
    virtual void* getContentView() = 0;
    /** A GPU context on the window, or null when the platform cannot make one. */
    virtual std::unique_ptr<RenderingContext> createRenderingContext(bool doubleBuffered) = 0;
    /** Starts an OpenGL frame on the context this window made: current, the per-frame state (a y-down
        projection of the drawable, viewport and scissor to it, alpha blending, no depth test, cleared
        to opaque black). False when nothing can be drawn (the window is gone). */
    virtual bool beginFrame(RenderingContext& context) = 0;
    /** Ends the frame: a swap when double-buffered, otherwise a flush. */
    virtual void endFrame(RenderingContext& context) = 0;
    /** 0: present at once; 1: wait for the vertical blank. Nothing where the platform cannot choose. */
    virtual void setSwapInterval(int interval) = 0;
    virtual void showCursor(const Mouse::Cursor& cursor) = 0;
    /** Hides the pointer over the window (a blank cursor) or shows the current cursor again. */
    virtual void setCursorHidden(bool hidden) = 0;
    virtual Point getPointerScreenPosition() = 0;
    virtual void warpPointer(Point screenPosition) = 0;
    /** Device pixels per pixel as the desktop asks for it (1.0 when it says nothing). */
    virtual double getDesktopScale() = 0;
    /** False once the platform destroyed the window (its parent went first). */
    virtual bool isAlive() const = 0;
    /** Shows a top-level window and brings it to the front. */
    virtual void toFront() = 0;
    /** An embedded window's parent (the host's window) takes this size, for hosts that do not resize
        it when asked; nothing for top-level windows or where the platform cannot. */
    virtual void setParentSize(int32_t width, int32_t height) { (void)width, (void)height; }
};

/** Makes the native window of a Window: top-level when `parent` is null, otherwise a child of the
    platform window `parent` names (on Linux, the X11 window id a host passes to effEditOpen). Null when
    the platform cannot (no display, a parent that is gone). */
using NativeWindowFactory = std::unique_ptr<NativeWindow> (*)(NativeWindow::Owner& owner, Rectangle bounds,
                                                              uint32_t flags, const String& title, void* parent);

/** Installed by the platform library; null before (windows then cannot be created). */
void setNativeWindowFactory(NativeWindowFactory factory) noexcept;
NativeWindowFactory getNativeWindowFactory() noexcept;

} // namespace q9framework
