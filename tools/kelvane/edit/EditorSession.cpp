#include "tools/kelvane/edit/EditorSession.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>

namespace kelvane {

namespace {

std::atomic<bool> interrupted{false};

void onSignal(int) { interrupted = true; }

/** Ctrl-C and a terminating signal close the editor like the window's close button. */
class SignalScope {
public:
    SignalScope()
    {
        interrupted = false;
        previousInt = std::signal(SIGINT, &onSignal);
        previousTerm = std::signal(SIGTERM, &onSignal);
    }
    ~SignalScope()
    {
        std::signal(SIGINT, previousInt);
        std::signal(SIGTERM, previousTerm);
    }

private:
    void (*previousInt)(int);
    void (*previousTerm)(int);
};

} // namespace

bool runEditorSession(HostedEditor& editor, const EditorSessionOptions& options, std::string& error)
{
    using Clock = std::chrono::steady_clock;
    // 1 x 1 until the editor says its size, as Linux hosts make the parent.
    std::unique_ptr<HostWindow> window = HostWindow::create(options.title, 1, 1, error);
    if (!window)
        return false;
    const SignalScope signals;
    if (!editor.open(*window, error)) {
        editor.close();
        return false;
    }
    int width = 0, height = 0;
    if (editor.getSize(width, height))
        window->setSize(width, height);

    const auto interval = std::chrono::milliseconds(editor.idleIntervalMs());
    const auto screenshotDue = Clock::now() + std::chrono::milliseconds(options.screenshotAfterMs);
    auto idleDue = Clock::now();
    bool ok = true;
    const int connection = ConnectionNumber(static_cast<Display*>(window->display()));
    for (;;) {
        window->processEvents();
        if (window->closeRequested() || interrupted)
            break;
        auto now = Clock::now();
        if (now >= idleDue) {
            editor.idle();
            editor.reportChanges();
            // The next idle counts from the end of this one, as hosts pace it.
            idleDue = Clock::now() + interval;
        }
        if (!options.screenshotPath.empty() && now >= screenshotDue) {
            window->processEvents();
            ok = window->writeScreenshot(options.screenshotPath, error);
            break;
        }
        now = Clock::now();
        auto wake = idleDue;
        if (!options.screenshotPath.empty() && screenshotDue < wake)
            wake = screenshotDue;
        const auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
        pollfd fd{connection, POLLIN, 0};
        poll(&fd, 1, waitMs > 0 ? static_cast<int>(waitMs) : 0);
    }
    editor.close();
    editor.reportChanges();
    return ok;
}

bool parseSizeOption(const std::string& text, int& width, int& height, std::string& error)
{
    const size_t x = text.find('x');
    char* end1 = nullptr;
    char* end2 = nullptr;
    const std::string w = text.substr(0, x == std::string::npos ? 0 : x);
    const std::string h = x == std::string::npos ? std::string() : text.substr(x + 1);
    const long wv = std::strtol(w.c_str(), &end1, 10);
    const long hv = std::strtol(h.c_str(), &end2, 10);
    if (w.empty() || h.empty() || *end1 != '\0' || *end2 != '\0' || wv < 1 || hv < 1 || wv > 16384 || hv > 16384) {
        error = "option '--size' expects WIDTHxHEIGHT in pixels (1 to 16384 each), got '" + text + "'";
        return false;
    }
    width = static_cast<int>(wv);
    height = static_cast<int>(hv);
    return true;
}

} // namespace kelvane
