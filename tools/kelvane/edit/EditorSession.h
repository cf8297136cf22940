#pragma once

// What `kelvane edit` and `kelvane au edit` share: a host window with a plug-in's editor in it, kept
// alive by idle calls at the host's pace until the window is closed (or a screenshot is taken).

#include "tools/kelvane/edit/HostWindow.h"

#include <string>

namespace kelvane {

/** A plug-in editor as one kind of host shows it (through the VST interface, or as an Audio Unit view). */
class HostedEditor {
public:
    virtual ~HostedEditor() = default;
    /** Opens the editor into `window` (as a child of it). False with `error` when there is none. */
    virtual bool open(HostWindow& window, std::string& error) = 0;
    /** The editor's size, asked once it is open; false when it gives none. */
    virtual bool getSize(int& width, int& height) = 0;
    /** The host's periodic idle call. */
    virtual void idle() = 0;
    /** How often `idle` is due, in milliseconds. */
    virtual int idleIntervalMs() const = 0;
    /** Prints the parameter changes the editor reported since the last call. */
    virtual void reportChanges() = 0;
    /** Closes the editor (also after a failed open, as hosts do). */
    virtual void close() = 0;
};

struct EditorSessionOptions {
    std::string title;
    std::string screenshotPath;       // empty: run until the window is closed or the program interrupted
    int screenshotAfterMs = 1000;
};

/** Makes the window, opens the editor, sizes the window to it, and pumps events and idle calls until the
    window is closed, SIGINT or SIGTERM arrives, or the screenshot is due (then written). Closes the
    editor before returning. False with `error` when the display, the editor or the screenshot failed. */
[[nodiscard]] bool runEditorSession(HostedEditor& editor, const EditorSessionOptions& options, std::string& error);

/** Reads "WxH" (both 1 to 16384) into `width` and `height`; false with `error` naming the option. */
[[nodiscard]] bool parseSizeOption(const std::string& text, int& width, int& height, std::string& error);

} // namespace kelvane
