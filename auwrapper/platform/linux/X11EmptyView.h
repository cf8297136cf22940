#pragma once

// The empty container the Audio Unit view is on Linux: a plain X11 child window of the parent the host
// gives, into which the VST effect opens its editor. Plain Xlib, no toolkit: the wrapper must not pull
// the GUI into a module that has none.

#include <memory>

namespace q9framework {

/** One child window on a display connection of its own (the host's and the effect's connections are
    theirs). Every request runs under an X error scope, so a parent the host destroyed makes the call
    fail instead of ending the host process (Xlib's default handler exits).

    Main thread (the host's). Not copyable; destroying it destroys the window and closes the connection. */
class X11EmptyView {
public:
    /** A mapped, empty child of `parent` at (0, 0), `width` x `height`, synced with the server so that
        another connection can use it at once. Null when there is no display or the parent is gone. */
    static std::unique_ptr<X11EmptyView> create(unsigned long parent, int width, int height);
    ~X11EmptyView();
    X11EmptyView(const X11EmptyView&) = delete;
    X11EmptyView& operator=(const X11EmptyView&) = delete;

    unsigned long window() const noexcept { return handle; }
    int width() const noexcept { return frameWidth; }
    int height() const noexcept { return frameHeight; }
    /** Sets the frame size (at least 1 x 1); false when the server refused (the window is gone). */
    bool setSize(int width, int height);

private:
    struct Connection;
    X11EmptyView(std::unique_ptr<Connection> connection, unsigned long window, int width, int height);
    std::unique_ptr<Connection> connection;
    unsigned long handle;
    int frameWidth;
    int frameHeight;
};

} // namespace q9framework
