#pragma once

// The command-line hosts' editor window: a top-level X11 window on a connection of its own, as a
// Linux VST host makes one for a plug-in's editor, plus what a host program needs around it (closing,
// resizing, taking a screenshot).

#include <memory>
#include <string>

namespace kelvane {

/** One top-level window. The plug-in's editor (or an Audio Unit view) becomes a child of it, on the
    plug-in's own connection. The window manager's close button (WM_DELETE_WINDOW) ends the window's
    life as the program sees it (`closeRequested`); the window itself goes with this object.
    Main thread only. */
class HostWindow {
public:
    /** Opens the display ($DISPLAY), makes the window `width` x `height` with `title`, maps it and waits
        until it is shown. Null with `error` when there is no display. */
    static std::unique_ptr<HostWindow> create(const std::string& title, int width, int height, std::string& error);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    unsigned long window() const;
    /** The connection's Display*, which Linux hosts hand to effEditOpen in `value`. */
    void* display() const;

    /** Resizes the window (at least 1 x 1). */
    void setSize(int width, int height);
    int width() const { return currentWidth; }
    int height() const { return currentHeight; }

    /** Handles the events that have arrived: the close button, and a child window (the editor or view
        inside) that changed its size, which the window follows as hosts do. Never blocks. */
    void processEvents();
    bool closeRequested() const { return closing; }

    /** Writes what the window shows, its children included, as an RGB PNG of the window's size.
        False with `error` when the image cannot be read or written. */
    [[nodiscard]] bool writeScreenshot(const std::string& path, std::string& error);

private:
    struct Native;
    explicit HostWindow(std::unique_ptr<Native> native);
    std::unique_ptr<Native> native;
    int currentWidth = 0;
    int currentHeight = 0;
    bool closing = false;
};

} // namespace kelvane
