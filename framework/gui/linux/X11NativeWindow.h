#pragma once
#include "framework/gui/NativeWindow.h"
#include "framework/gui/Window.h"

#include <X11/Xlib.h>

#include <string>

namespace q9framework {

class X11Connection;

/** The native window on X11: a child of the host's window (the id effEditOpen passes) or a top-level
    window whose close button is WM_DELETE_WINDOW, on the toolkit's own connection (X11Connection).
    With OpenGL its visual comes from chooseGLXVisual and it gets a colormap of its own.

    Input becomes the Owner's calls: pointer positions relative to the window, buttons 1 left, 4 right,
    2 middle (and further buttons), X buttons 4-7 the wheel, click counts from time and place, keys
    through XLookupString, Alt/Super/Shift/Control as modifier changes, enter/leave, focus changes, file
    drops through XDND (text/uri-list). A click takes the keyboard focus, as a view does when clicked.

    When the platform destroys the window first (the host destroyed its parent), the window reports it
    and from then on makes no requests on it. Loop thread only. */
class X11NativeWindow : public NativeWindow {
public:
    static std::unique_ptr<NativeWindow> create(Owner& owner, Rectangle bounds, uint32_t flags, const String& title,
                                                void* parent);
    ~X11NativeWindow() override;

    void setBounds(Rectangle bounds) override;
    Rectangle getBounds() override;
    void setTitle(const String& title) override;
    Point getContentSize() override { return Point(width, height); }
    Point getScreenPosition() override;
    bool isZoomed() override;
    bool isMinimised() override;
    void* getContentView() override { return reinterpret_cast<void*>(window); }
    std::unique_ptr<RenderingContext> createRenderingContext(bool doubleBuffered) override;
    bool beginFrame(RenderingContext& context) override;
    void endFrame(RenderingContext& context) override;
    void setSwapInterval(int interval) override;
    void showCursor(const Mouse::Cursor& cursor) override;
    void setCursorHidden(bool hidden) override;
    Point getPointerScreenPosition() override;
    void warpPointer(Point screenPosition) override;
    double getDesktopScale() override;
    bool isAlive() const override { return alive; }
    void toFront() override;
    void setParentSize(int32_t width, int32_t height) override;

    /** One event for this window (from X11Connection). May delete this object (a close button). */
    void handleEvent(XEvent& event);
    /** The connection broke (from X11Connection): the window is as good as destroyed. */
    void connectionLost();

    Display* getDisplay() const noexcept { return display; }
    ::Window getWindow() const noexcept { return window; }

private:
    X11NativeWindow(Owner& owner, X11Connection& connection);
    void handleButton(const XButtonEvent& e, bool press);
    void handleMotion(XEvent& event);
    void handleKey(XKeyEvent& e, bool press);
    void handleClientMessage(const XClientMessageEvent& e);
    void handleSelection(const XSelectionEvent& e);
    void sendDndStatus(::Window source, bool accept);
    void sendDndFinished(::Window source, bool accepted);
    ::Cursor cursorFor(const Mouse::Cursor& cursor);
    void applyCursor();

    Owner& owner;
    X11Connection& connection;
    Display* display;
    ::Window window = 0;
    ::Window parent = 0;
    Colormap colormap = 0;
    bool embedded = false;
    bool alive = true;
    int32_t x = 0, y = 0, width = 0, height = 0;
    uint32_t modifiers = 0;
    ClickCounter clicks;
    Mouse::Cursor currentCursor;
    bool cursorHidden = false;

    // A drop in progress (XDND).
    ::Window dndSource = 0;
    bool dndHasFiles = false;
    Point dndPosition;
};

/** The file paths of a text/uri-list: one URI a line (CR LF or LF), lines starting with '#' skipped, only
    file URIs (file:///path or file://host/path), percent escapes decoded. */
FileList decodeUriList(const std::string& text);

/** The character the text system gives a key (see NativeWindow::Owner::nativeKey), or 0 when the key
    has none: arrows and delete as the platform's function-key characters, return 13, keypad enter 3,
    backspace 127, tab 9, otherwise the Latin-1 or Unicode character of the keysym. */
uint32_t characterForKeysym(unsigned long keysym) noexcept;

} // namespace q9framework
