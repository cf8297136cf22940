// Windows on X11. Every request here runs on the loop's thread, on our own connection. The ones that
// can meet a window the host destroyed (creation inside the host's window, destruction, GLX, cursor
// changes, pointer warps, events sent to the host) run inside an X11ErrorTrap, so a dead parent fails
// that operation at once and is logged; anything else that fails is still caught by the trap the
// connection keeps for its whole life, so no X error ever ends the host.
#include "framework/gui/linux/X11NativeWindow.h"

#include "framework/gui/linux/GLXVisual.h"
#include "framework/gui/linux/OpenGLContext.h"
#include "framework/gui/linux/X11Connection.h"
#include "framework/gui/linux/X11ErrorTrap.h"
#include "framework/core/ClassNameRegistry.h"

#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <epoxy/glx.h>

#include <cstring>
#include <string>

namespace q9framework {

namespace {

constexpr long dndVersion = 5;
constexpr long eventMask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask
                           | PointerMotionMask | EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask
                           | FocusChangeMask;

/** The platform cursor a custom Mouse::Cursor keeps in its Internal: valid on one connection only. */
struct CustomCursor {
    Display* display;
    ::Cursor cursor;
    uint64_t generation;
};

void releaseCustomCursor(void* native)
{
    auto* c = static_cast<CustomCursor*>(native);
    X11Connection* const open = X11Connection::get();
    if (open != nullptr && X11Connection::getGeneration() == c->generation && open->getDisplay() == c->display)
        XFreeCursor(c->display, c->cursor);
    delete c;
}

uint32_t modifierOfKeysym(KeySym sym) noexcept
{
    switch (sym) {
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R: return NativeWindow::modifierOption;
    case XK_Super_L:
    case XK_Super_R:
    case XK_Hyper_L:
    case XK_Hyper_R: return NativeWindow::modifierCommand;
    case XK_Shift_L:
    case XK_Shift_R: return NativeWindow::modifierShift;
    case XK_Control_L:
    case XK_Control_R: return NativeWindow::modifierControl;
    default: return 0;
    }
}

uint32_t modifiersOfState(unsigned int state) noexcept
{
    uint32_t m = 0;
    if ((state & ShiftMask) != 0)
        m |= NativeWindow::modifierShift;
    if ((state & ControlMask) != 0)
        m |= NativeWindow::modifierControl;
    if ((state & Mod1Mask) != 0)
        m |= NativeWindow::modifierOption;
    if ((state & Mod4Mask) != 0)
        m |= NativeWindow::modifierCommand;
    return m;
}

} // namespace

//==================================================================================================

FileList decodeUriList(const std::string& text)
{
    FileList files;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        if (line.empty() || line[0] == '#' || line.compare(0, 7, "file://") != 0)
            continue;
        const size_t pathStart = line.find('/', 7);    // after an optional host name
        if (pathStart == std::string::npos)
            continue;
        std::string path;
        for (size_t i = pathStart; i < line.size(); ++i) {
            if (line[i] == '%' && i + 2 < line.size() && hexDigitValue(line[i + 1]) >= 0 && hexDigitValue(line[i + 2]) >= 0) {
                path.push_back(static_cast<char>(hexDigitValue(line[i + 1]) * 16 + hexDigitValue(line[i + 2])));
                i += 2;
            } else {
                path.push_back(line[i]);
            }
        }
        files.add(String(path.c_str()));
    }
    return files;
}

uint32_t characterForKeysym(unsigned long keysym) noexcept
{
    switch (keysym) {
    case XK_Up:
    case XK_KP_Up: return 0xF700;
    case XK_Down:
    case XK_KP_Down: return 0xF701;
    case XK_Left:
    case XK_KP_Left: return 0xF702;
    case XK_Right:
    case XK_KP_Right: return 0xF703;
    case XK_Delete:
    case XK_KP_Delete: return 0xF728;
    case XK_Return: return 13;
    case XK_KP_Enter: return 3;
    case XK_BackSpace: return 127;
    case XK_Tab:
    case XK_ISO_Left_Tab: return 9;
    case XK_Escape: return 27;
    default: break;
    }
    if (keysym >= 0x20 && keysym <= 0xff)
        return static_cast<uint32_t>(keysym);
    if ((keysym & 0xff000000UL) == 0x01000000UL)
        return static_cast<uint32_t>(keysym & 0x00ffffffUL);
    return 0;
}

//==================================================================================================

std::unique_ptr<NativeWindow> X11NativeWindow::create(Owner& owner, Rectangle bounds, uint32_t flags,
                                                      const String& title, void* parentView)
{
    X11Connection* const connection = X11Connection::acquire();
    if (connection == nullptr)
        return nullptr;
    std::unique_ptr<X11NativeWindow> w(new X11NativeWindow(owner, *connection));
    Display* const display = w->display;
    w->embedded = parentView != nullptr;
    w->parent = w->embedded ? static_cast<::Window>(reinterpret_cast<uintptr_t>(parentView))
                            : DefaultRootWindow(display);
    w->width = std::max(1, bounds.width);
    w->height = std::max(1, bounds.height);
    w->x = bounds.x;
    w->y = bounds.y;

    X11ErrorTrap trap(display, "creating a window");
    XVisualInfoPtr glVisual;
    if ((flags & Window::openGLFlag) != 0) {
        glVisual = chooseGLXVisual(display, w->parent, false);
        if (glVisual == nullptr)
            return nullptr;    // no GLX, or the parent is gone
    }
    XWindowAttributes parentAttributes{};
    if (XGetWindowAttributes(display, w->parent, &parentAttributes) == 0 || parentAttributes.screen == nullptr)
        return nullptr;
    const ::Window root = RootWindowOfScreen(parentAttributes.screen);
    Visual* const visual = glVisual != nullptr ? glVisual->visual : DefaultVisualOfScreen(parentAttributes.screen);
    const int depth = glVisual != nullptr ? glVisual->depth : DefaultDepthOfScreen(parentAttributes.screen);

    w->colormap = XCreateColormap(display, root, visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = w->colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;     // the frame paints everything; no flash of background
    attributes.event_mask = eventMask;
    w->window = XCreateWindow(display, w->parent, w->x, w->y, static_cast<unsigned>(w->width),
                              static_cast<unsigned>(w->height), 0, depth, InputOutput, visual,
                              CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    if (w->window == 0 || trap.hasFailed()) {
        // Nothing of ours must stay behind on a failed creation.
        if (w->window != 0)
            XDestroyWindow(display, w->window);
        w->window = 0;
        return nullptr;
    }
    connection->addWindow(w->window, w.get());

    const std::string className = std::string(ClassNameRegistry::productPrefix()) + "Window";
    XClassHint hint;
    hint.res_name = const_cast<char*>(className.c_str());
    hint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(display, w->window, &hint);
    const long aware = dndVersion;
    XChangeProperty(display, w->window, connection->getAtoms().xdndAware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&aware), 1);

    if (!w->embedded) {
        Atom protocols = connection->getAtoms().wmDeleteWindow;
        XSetWMProtocols(display, w->window, &protocols, 1);
        XSizeHints* size = XAllocSizeHints();
        if (size != nullptr) {
            size->flags = USPosition | USSize;
            size->x = w->x;
            size->y = w->y;
            size->width = w->width;
            size->height = w->height;
            XSetWMNormalHints(display, w->window, size);
            XFree(size);
        }
        w->setTitle(title);
    } else {
        XMapWindow(display, w->window);
    }
    XFlush(display);
    return w;
}

X11NativeWindow::X11NativeWindow(Owner& windowOwner, X11Connection& conn)
    : owner(windowOwner), connection(conn), display(conn.getDisplay())
{
}

X11NativeWindow::~X11NativeWindow()
{
    {
        // Answered (and forgotten) before the connection may close with the release below.
        X11ErrorTrap trap(display, "destroying a window");
        if (window != 0) {
            connection.removeWindow(window);
            if (alive)
                XDestroyWindow(display, window);
        }
        if (colormap != 0)
            XFreeColormap(display, colormap);
    }
    connection.release();
}

//==================================================================================================

void X11NativeWindow::setBounds(Rectangle bounds)
{
    if (!alive || bounds.width < 1 || bounds.height < 1)
        return;
    XMoveResizeWindow(display, window, bounds.x, bounds.y, static_cast<unsigned>(bounds.width),
                      static_cast<unsigned>(bounds.height));
    XFlush(display);
    x = bounds.x;
    y = bounds.y;
    if (bounds.width != width || bounds.height != height) {
        width = bounds.width;
        height = bounds.height;
        owner.nativeResized(width, height);
    }
}

void X11NativeWindow::setParentSize(int32_t newWidth, int32_t newHeight)
{
    if (!embedded || !alive || parent == 0 || newWidth < 1 || newHeight < 1)
        return;
    // The host's window may be gone already: a failed request is caught and logged, never fatal.
    X11ErrorTrap trap(display, "resizing the host's window");
    XResizeWindow(display, parent, static_cast<unsigned>(newWidth), static_cast<unsigned>(newHeight));
}

Rectangle X11NativeWindow::getBounds()
{
    if (embedded || !alive)
        return {x, y, width, height};
    const Point p = getScreenPosition();
    return {p.x, p.y, width, height};
}

void X11NativeWindow::setTitle(const String& title)
{
    if (!alive || embedded)
        return;
    const char* text = title.toUTF8();
    XStoreName(display, window, text);
    const auto& atoms = connection.getAtoms();
    XChangeProperty(display, window, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    XFlush(display);
}

Point X11NativeWindow::getScreenPosition()
{
    if (!alive)
        return {};
    int sx = 0, sy = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &sx, &sy, &child);
    return {sx, sy};
}

bool X11NativeWindow::isZoomed()
{
    if (!alive || embedded)
        return false;
    const auto& atoms = connection.getAtoms();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool vertical = false, horizontal = false;
    if (XGetWindowProperty(display, window, atoms.netWmState, 0, 64, False, XA_ATOM, &type, &format, &count,
                           &remaining, &data) == Success && data != nullptr) {
        const auto* states = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            vertical = vertical || states[i] == atoms.netWmStateMaxVert;
            horizontal = horizontal || states[i] == atoms.netWmStateMaxHorz;
        }
        XFree(data);
    }
    return vertical && horizontal;
}

bool X11NativeWindow::isMinimised()
{
    if (!alive || embedded)
        return false;
    const Atom wmState = connection.getAtoms().wmState;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool iconic = false;
    if (XGetWindowProperty(display, window, wmState, 0, 2, False, wmState, &type, &format, &count, &remaining,
                           &data) == Success && data != nullptr) {
        iconic = count > 0 && reinterpret_cast<const long*>(data)[0] == IconicState;
        XFree(data);
    }
    return iconic;
}

std::unique_ptr<RenderingContext> X11NativeWindow::createRenderingContext(bool doubleBuffered)
{
    if (!alive)
        return nullptr;
    X11ErrorTrap trap(display, "creating an OpenGL context");
    std::unique_ptr<OpenGLContext> context = OpenGLContext::create(display, window, doubleBuffered);
    if (trap.hasFailed())
        return nullptr;
    return context;
}

bool X11NativeWindow::beginFrame(RenderingContext& context)
{
    if (!alive)
        return false;
    // A server that went away shows here first (reading finds the socket closed): GL on a dead
    // connection would get made-up drawable sizes from the failed geometry requests.
    XPending(display);
    if (connection.isLost())
        return false;
    static_cast<OpenGLContext&>(context).beginFrame();
    return true;
}

void X11NativeWindow::endFrame(RenderingContext& context)
{
    static_cast<OpenGLContext&>(context).flush();
}

void X11NativeWindow::setSwapInterval(int interval)
{
    if (!alive)
        return;
    X11ErrorTrap trap(display, "setting the swap interval");
    const int screen = DefaultScreen(display);
    if (epoxy_has_glx_extension(display, screen, "GLX_EXT_swap_control"))
        glXSwapIntervalEXT(display, window, interval);
    else if (epoxy_has_glx_extension(display, screen, "GLX_MESA_swap_control"))
        glXSwapIntervalMESA(static_cast<unsigned>(interval));
    else if (interval > 0 && epoxy_has_glx_extension(display, screen, "GLX_SGI_swap_control"))
        glXSwapIntervalSGI(interval);
}

::Cursor X11NativeWindow::cursorFor(const Mouse::Cursor& cursor)
{
    Mouse::Cursor::Internal* const custom = cursor.getInternal();
    if (custom == nullptr)
        return connection.getStandardCursor(cursor.isEmpty() ? 0 : cursor.getStandardIndex());
    auto* made = static_cast<CustomCursor*>(custom->native);
    if (made != nullptr && (made->generation != X11Connection::getGeneration() || made->display != display)) {
        custom->releaseNative(made);    // made on a connection that is gone
        custom->native = made = nullptr;
    }
    if (made == nullptr) {
        const Image& image = custom->image;
        XcursorImage* picture = XcursorImageCreate(image.getWidth(), image.getHeight());
        if (picture == nullptr)
            return connection.getStandardCursor(0);
        picture->xhot = static_cast<XcursorDim>(std::clamp(custom->hotSpot.x, 0, image.getWidth() - 1));
        picture->yhot = static_cast<XcursorDim>(std::clamp(custom->hotSpot.y, 0, image.getHeight() - 1));
        // Both are premultiplied 0xAARRGGBB words.
        for (int32_t row = 0; row < image.getHeight(); ++row)
            std::memcpy(picture->pixels + static_cast<size_t>(row) * static_cast<size_t>(image.getWidth()),
                        image.getLinePointer(row), static_cast<size_t>(image.getWidth()) * 4);
        const ::Cursor platform = XcursorImageLoadCursor(display, picture);
        XcursorImageDestroy(picture);
        made = new CustomCursor{display, platform, X11Connection::getGeneration()};
        custom->native = made;
        custom->releaseNative = &releaseCustomCursor;
    }
    return made->cursor;
}

void X11NativeWindow::applyCursor()
{
    if (!alive)
        return;
    X11ErrorTrap trap(display, "changing the cursor");
    XDefineCursor(display, window, cursorHidden ? connection.getBlankCursor() : cursorFor(currentCursor));
}

void X11NativeWindow::showCursor(const Mouse::Cursor& cursor)
{
    if (cursor == currentCursor)
        return;
    currentCursor = cursor;
    if (!cursorHidden)
        applyCursor();
}

void X11NativeWindow::setCursorHidden(bool hidden)
{
    if (hidden == cursorHidden)
        return;
    cursorHidden = hidden;
    applyCursor();
}

Point X11NativeWindow::getPointerScreenPosition()
{
    ::Window rootReturn = 0, childReturn = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &rootReturn, &childReturn, &rootX, &rootY, &winX, &winY,
                  &mask);
    return {rootX, rootY};
}

void X11NativeWindow::warpPointer(Point screenPosition)
{
    X11ErrorTrap trap(display, "moving the pointer");
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, screenPosition.x, screenPosition.y);
}

double X11NativeWindow::getDesktopScale()
{
    return connection.getDesktopScale();
}

void X11NativeWindow::toFront()
{
    if (!alive)
        return;
    XMapRaised(display, window);
    XFlush(display);
}

//==================================================================================================
// Events

void X11NativeWindow::handleEvent(XEvent& event)
{
    switch (event.type) {
    case ButtonPress: handleButton(event.xbutton, true); break;
    case ButtonRelease: handleButton(event.xbutton, false); break;
    case MotionNotify: handleMotion(event); break;
    case EnterNotify:
        if (event.xcrossing.mode == NotifyNormal)
            owner.nativeMouseEntered(Point(event.xcrossing.x, event.xcrossing.y));
        break;
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal)
            owner.nativeMouseExited();
        break;
    case KeyPress: handleKey(event.xkey, true); break;
    case KeyRelease: handleKey(event.xkey, false); break;
    case FocusIn:
    case FocusOut:
        // Pointer-root crossings and grabs around a drag are not changes of the active window.
        if (event.xfocus.detail != NotifyPointer && event.xfocus.detail != NotifyInferior
            && event.xfocus.mode != NotifyGrab && event.xfocus.mode != NotifyUngrab)
            owner.nativeFocusChanged(event.type == FocusIn);
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == window) {
            if (embedded) {
                x = event.xconfigure.x;
                y = event.xconfigure.y;
            }
            if (event.xconfigure.width != width || event.xconfigure.height != height) {
                width = event.xconfigure.width;
                height = event.xconfigure.height;
                owner.nativeResized(width, height);
            }
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window && alive) {
            alive = false;
            owner.nativeDestroyed();
        }
        break;
    case ClientMessage: handleClientMessage(event.xclient); break;
    case SelectionNotify: handleSelection(event.xselection); break;
    default: break;
    }
}

void X11NativeWindow::connectionLost()
{
    if (alive) {
        alive = false;
        owner.nativeDestroyed();
    }
}

void X11NativeWindow::handleButton(const XButtonEvent& e, bool press)
{
    const Point position(e.x, e.y);
    if (e.button >= 4 && e.button <= 7) {
        if (press) {
            const float dy = e.button == 4 ? 1.0f : e.button == 5 ? -1.0f : 0.0f;
            const float dx = e.button == 6 ? 1.0f : e.button == 7 ? -1.0f : 0.0f;
            owner.nativeMouseWheel(position, dx, dy);
        }
        return;
    }
    const uint32_t button = e.button == Button1 ? mouseButtonLeft : e.button == Button3 ? mouseButtonRight
                                                                                        : mouseButtonOther;
    if (press) {
        // A clicked view takes the keys, as it becomes first responder on other desktops.
        if (alive) {
            X11ErrorTrap trap(display, "taking the keyboard focus");
            XSetInputFocus(display, window, RevertToParent, e.time);
        }
        owner.nativeMouseDown(position, button, clicks.press(button, position, static_cast<double>(e.time)));
    } else {
        owner.nativeMouseUp(position, button);
    }
}

void X11NativeWindow::handleMotion(XEvent& event)
{
    // Only the newest of a run of queued moves matters; anything else queued keeps its order.
    XEvent next;
    while (XEventsQueued(display, QueuedAlready) > 0) {
        XPeekEvent(display, &next);
        if (next.type != MotionNotify || next.xmotion.window != window)
            break;
        XNextEvent(display, &event);
    }
    const XMotionEvent& e = event.xmotion;
    const bool dragging = (e.state & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) != 0;
    owner.nativeMouseMoved(Point(e.x, e.y), Point(e.x_root, e.y_root), dragging);
}

void X11NativeWindow::handleKey(XKeyEvent& e, bool press)
{
    char text[16] = {};
    KeySym keysym = 0;
    const int length = XLookupString(&e, text, sizeof text, &keysym, nullptr);
    if (const uint32_t modifier = modifierOfKeysym(keysym)) {
        uint32_t now = modifiersOfState(e.state);
        now = press ? (now | modifier) : (now & ~modifier);
        if (now != modifiers) {
            modifiers = now;
            owner.nativeModifiersChanged(now);
        }
        return;
    }
    // The keys with a character of their own first (backspace would read as 8, delete as 127), then
    // what the text system typed (control characters included), then the keysym's character.
    uint32_t character = 0;
    switch (keysym) {
    case XK_Up: case XK_Down: case XK_Left: case XK_Right: case XK_KP_Up: case XK_KP_Down: case XK_KP_Left:
    case XK_KP_Right: case XK_Delete: case XK_KP_Delete: case XK_Return: case XK_KP_Enter: case XK_BackSpace:
    case XK_Tab: case XK_ISO_Left_Tab:
        character = characterForKeysym(keysym);
        break;
    default:
        character = length == 1 ? static_cast<unsigned char>(text[0]) : characterForKeysym(keysym);
        break;
    }
    if (character == 0)
        return;
    const bool used = owner.nativeKey(character, static_cast<int32_t>(e.keycode), press);
    if (!used && embedded && alive) {
        // Unused keys go on to the host, as a view passes them up its responder chain.
        XEvent forwarded{};
        forwarded.xkey = e;
        forwarded.xkey.window = parent;
        X11ErrorTrap trap(display, "passing a key to the host");
        XSendEvent(display, parent, True, press ? KeyPressMask : KeyReleaseMask, &forwarded);
    }
}

void X11NativeWindow::handleClientMessage(const XClientMessageEvent& e)
{
    const auto& atoms = connection.getAtoms();
    if (e.message_type == atoms.wmProtocols && static_cast<Atom>(e.data.l[0]) == atoms.wmDeleteWindow) {
        owner.nativeCloseButton();    // may delete this
        return;
    }
    if (e.message_type == atoms.xdndEnter) {
        dndSource = static_cast<::Window>(e.data.l[0]);
        dndHasFiles = false;
        if ((e.data.l[1] & 1) != 0) {
            // More than three types: the source lists them in a property.
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, remaining = 0;
            unsigned char* data = nullptr;
            X11ErrorTrap trap(display, "reading a drop's types");
            if (XGetWindowProperty(display, dndSource, atoms.xdndTypeList, 0, 1024, False, XA_ATOM, &type, &format,
                                   &count, &remaining, &data) == Success && data != nullptr) {
                for (unsigned long i = 0; i < count; ++i)
                    dndHasFiles = dndHasFiles || reinterpret_cast<const Atom*>(data)[i] == atoms.uriList;
                XFree(data);
            }
        } else {
            for (int i = 2; i <= 4; ++i)
                dndHasFiles = dndHasFiles || static_cast<Atom>(e.data.l[i]) == atoms.uriList;
        }
    } else if (e.message_type == atoms.xdndPosition) {
        dndSource = static_cast<::Window>(e.data.l[0]);
        const int rootX = static_cast<int>((e.data.l[2] >> 16) & 0xffff), rootY = static_cast<int>(e.data.l[2] & 0xffff);
        int wx = 0, wy = 0;
        ::Window child = 0;
        XTranslateCoordinates(display, DefaultRootWindow(display), window, rootX, rootY, &wx, &wy, &child);
        dndPosition = Point(wx, wy);
        sendDndStatus(dndSource, dndHasFiles);
    } else if (e.message_type == atoms.xdndLeave) {
        dndSource = 0;
        dndHasFiles = false;
    } else if (e.message_type == atoms.xdndDrop) {
        dndSource = static_cast<::Window>(e.data.l[0]);
        if (!dndHasFiles) {
            sendDndFinished(dndSource, false);
            dndSource = 0;
            return;
        }
        XConvertSelection(display, atoms.xdndSelection, atoms.uriList, atoms.dropProperty, window,
                          static_cast<Time>(e.data.l[2]));
        XFlush(display);
    }
}

void X11NativeWindow::handleSelection(const XSelectionEvent& e)
{
    const auto& atoms = connection.getAtoms();
    if (e.selection != atoms.xdndSelection || dndSource == 0)
        return;
    std::string text;
    if (e.property != None) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, e.property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                               &count, &remaining, &data) == Success && data != nullptr) {
            if (format == 8)
                text.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
    }
    const ::Window source = dndSource;
    dndSource = 0;
    const FileList files = decodeUriList(text);
    sendDndFinished(source, true);
    // A drop without file names does nothing (and the drop still counts as done).
    if (!files.isEmpty())
        owner.nativeFilesDropped(dndPosition, files);
}

void X11NativeWindow::sendDndStatus(::Window source, bool accept)
{
    const auto& atoms = connection.getAtoms();
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.display = display;
    reply.xclient.window = source;
    reply.xclient.message_type = atoms.xdndStatus;
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = static_cast<long>(window);
    reply.xclient.data.l[1] = accept ? 1 : 0;     // no rectangle: positions keep coming
    reply.xclient.data.l[4] = accept ? static_cast<long>(atoms.xdndActionCopy) : None;
    X11ErrorTrap trap(display, "answering a drop");
    XSendEvent(display, source, False, NoEventMask, &reply);
}

void X11NativeWindow::sendDndFinished(::Window source, bool accepted)
{
    const auto& atoms = connection.getAtoms();
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.display = display;
    reply.xclient.window = source;
    reply.xclient.message_type = atoms.xdndFinished;
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = static_cast<long>(window);
    reply.xclient.data.l[1] = accepted ? 1 : 0;
    reply.xclient.data.l[2] = accepted ? static_cast<long>(atoms.xdndActionCopy) : None;
    X11ErrorTrap trap(display, "answering a drop");
    XSendEvent(display, source, False, NoEventMask, &reply);
}

} // namespace q9framework
