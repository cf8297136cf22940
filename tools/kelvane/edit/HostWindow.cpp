#include "tools/kelvane/edit/HostWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace kelvane {

struct HostWindow::Native {
    Display* display = nullptr;
    ::Window window = 0;
    Atom deleteWindow = 0;
    ~Native()
    {
        if (display == nullptr)
            return;
        if (window != 0)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
};

std::unique_ptr<HostWindow> HostWindow::create(const std::string& title, int width, int height, std::string& error)
{
    auto native = std::make_unique<Native>();
    native->display = XOpenDisplay(nullptr);
    if (native->display == nullptr) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    Display* const display = native->display;
    width = std::max(width, 1);
    height = std::max(height, 1);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    // Substructure: the editor inside resizing itself (an Audio Unit view follows its effect that way).
    attributes.event_mask = StructureNotifyMask | SubstructureNotifyMask | ExposureMask;
    native->window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, native->window, title.c_str());
    XClassHint classHint{const_cast<char*>("kelvane"), const_cast<char*>("Kelvane")};
    XSetClassHint(display, native->window, &classHint);
    native->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, native->window, &native->deleteWindow, 1);
    XMapWindow(display, native->window);
    // Shown before anything opens into it, as a host's plug-in window is.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (bool mapped = false; !mapped && std::chrono::steady_clock::now() < deadline;) {
        XEvent event;
        while (!mapped && XCheckTypedWindowEvent(display, native->window, MapNotify, &event))
            mapped = true;
        if (!mapped)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    auto window = std::unique_ptr<HostWindow>(new HostWindow(std::move(native)));
    window->currentWidth = width;
    window->currentHeight = height;
    return window;
}

HostWindow::HostWindow(std::unique_ptr<Native> n) : native(std::move(n)) {}

HostWindow::~HostWindow() = default;

unsigned long HostWindow::window() const { return native->window; }

void* HostWindow::display() const { return native->display; }

void HostWindow::setSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == currentWidth && height == currentHeight)
        return;
    currentWidth = width;
    currentHeight = height;
    XResizeWindow(native->display, native->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(native->display, False);
}

void HostWindow::processEvents()
{
    Display* const display = native->display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == native->deleteWindow)
                closing = true;
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == native->window) {
                currentWidth = event.xconfigure.width;
                currentHeight = event.xconfigure.height;
            } else if (event.xconfigure.event == native->window) {
                // A direct child changed its size: the window follows it and keeps it at (0, 0).
                setSize(event.xconfigure.width, event.xconfigure.height);
            }
            break;
        default:
            break;
        }
    }
}

bool HostWindow::writeScreenshot(const std::string& path, std::string& error)
{
    Display* const display = native->display;
    XSync(display, False);
    XImage* image = XGetImage(display, native->window, 0, 0, static_cast<unsigned>(currentWidth),
                              static_cast<unsigned>(currentHeight), AllPlanes, ZPixmap);
    if (image == nullptr) {
        error = "cannot read the window's image";
        return false;
    }
    const int width = image->width;
    const int height = image->height;
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    const unsigned long redMask = image->red_mask, greenMask = image->green_mask, blueMask = image->blue_mask;
    auto channel = [](unsigned long pixel, unsigned long mask) {
        if (mask == 0)
            return static_cast<unsigned char>(0);
        int shift = 0;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        const unsigned long bits = mask >> shift;
        return static_cast<unsigned char>(((pixel & mask) >> shift) * 255 / bits);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            out[0] = channel(pixel, redMask);
            out[1] = channel(pixel, greenMask);
            out[2] = channel(pixel, blueMask);
        }
    XDestroyImage(image);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write '" + path + "'";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = "cannot encode '" + path + "' as PNG";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, &rgb[static_cast<size_t>(y) * static_cast<size_t>(width) * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

} // namespace kelvane
