// The window logic the native side reports into. The native window (NativeWindow) only translates the
// platform's events; what they mean (mouse lock, key characters, modifier key events, the frame loop)
// lives here so every platform gives the component tree the same calls.
#include "framework/gui/Window.h"

#include "framework/gui/RenderingContext.h"
#include "framework/core/MessageLoop.h"
#include "framework/core/Timer.h"

#include <algorithm>
#include <cstdlib>

namespace q9framework {

namespace {

NativeWindowFactory installedFactory = nullptr;

std::vector<Window*>& allWindows()
{
    static std::vector<Window*> list;
    return list;
}

std::vector<Window*>& frameWindows()
{
    static std::vector<Window*> list;
    return list;
}

int standAloneCount = 0;

/** Fires every 16 ms on the main loop while any window is in the frame list; made with the first such
    window and deleted with the last, on the loop's thread, so no timer outlives a loop that a host's
    editor thread pumped. */
class VSyncTimer : public Timer {
public:
    void timerCallback() override { Window::runFrame(); }
};

std::unique_ptr<VSyncTimer>& vsyncTimer()
{
    static std::unique_ptr<VSyncTimer> timer;
    return timer;
}

bool contains(const std::vector<Window*>& list, const Window* w)
{
    return std::find(list.begin(), list.end(), w) != list.end();
}

} // namespace

void setNativeWindowFactory(NativeWindowFactory factory) noexcept
{
    installedFactory = factory;
}

NativeWindowFactory getNativeWindowFactory() noexcept
{
    return installedFactory;
}

//==================================================================================================

Window::Window(uint32_t styleFlags) : flags(styleFlags)
{
    if ((flags & requestOpenGLFlag) != 0)
        flags = (flags & ~uint32_t(requestOpenGLFlag)) | openGLFlag;
    allWindows().push_back(this);
}

Window::~Window()
{
    auto& list = allWindows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    destroyNative();
    if (aliveFlag != nullptr)
        *aliveFlag = true;
}

void Window::backingScaleChanged(double, double) {}

void Window::close()
{
    releaseGraphics();
    renderingContext.reset();
    destroyNative();
}

bool Window::isInterestedInFiles(Point, const FileList&)
{
    return false;
}

void Window::filesDropped(Point, const FileList&) {}
void Window::mouseEvent(int, MouseEventType, Point, uint32_t, int, float, float) {}
void Window::resized(Point) {}
void Window::moved() {}
void Window::tick() {}
void Window::redraw(int) {}

bool Window::createNative(Rectangle bounds, uint32_t createFlags, const String& windowTitle, void* parentView)
{
    if (native != nullptr || installedFactory == nullptr)
        return false;
    backingScale = 1.0;
    title = windowTitle;
    native = installedFactory(*this, bounds, createFlags, windowTitle, parentView);
    if (native == nullptr)
        return false;
    kind = parentView == nullptr ? 1 : 2;
    if (kind == 1) {
        ++standAloneCount;
        countedStandAlone = true;
    }
    if ((flags & openGLFlag) != 0) {
        renderingContext = native->createRenderingContext(false);
        native->setSwapInterval((flags & noVSyncFlag) != 0 ? 0 : 1);
    }
    // The context and the tree learn the size (a resize with force, as the view does after creation).
    const Point size = native->getContentSize();
    if (renderingContext != nullptr)
        renderingContext->setSize(size.x, size.y);
    resized(size);
    if ((flags & bestResolutionFlag) != 0)
        nativeBackingScaleChanged(native->getDesktopScale());
    if (kind == 1)
        native->toFront();
    addToFrameList();
    return true;
}

void Window::destroyNative()
{
    removeFromFrameList();
    if (mouseLocked)
        setMouseLocked(false);
    if (countedStandAlone) {
        --standAloneCount;
        countedStandAlone = false;
    }
    if (native == nullptr)
        return;
    // A context left on a window that goes would draw into nothing; it goes first.
    if (renderingContext != nullptr) {
        releaseGraphics();
        renderingContext.reset();
    }
    native.reset();
    kind = 0;
}

bool Window::keyDown(KeyCode, int32_t)
{
    return false;
}

bool Window::keyUp(KeyCode, int32_t)
{
    return false;
}

void Window::activeChanged(bool) {}
void Window::releaseButtonsAt(Point) {}

//==================================================================================================

void Window::setBounds(Rectangle bounds)
{
    if (native != nullptr)
        native->setBounds(bounds);
}

Rectangle Window::getBounds()
{
    return native != nullptr ? native->getBounds() : Rectangle();
}

void Window::setTitle(const String& newTitle)
{
    if (kind != 1)
        return;
    title = newTitle;
    native->setTitle(newTitle);
}

bool Window::isZoomed()
{
    return native != nullptr && native->isZoomed();
}

bool Window::isMinimised()
{
    return kind == 1 && native->isMinimised();
}

Point Window::getContentSize()
{
    return native != nullptr ? native->getContentSize() : Point();
}

Point Window::getScreenPosition()
{
    return native != nullptr ? native->getScreenPosition() : Point();
}

void* Window::getContentView()
{
    return native != nullptr ? native->getContentView() : nullptr;
}

void Window::runModal()
{
    if (kind != 1)
        return;
    bool gone = false;
    bool* const previousFlag = aliveFlag;
    aliveFlag = &gone;
    modal = true;
    modalEnded = false;
    // Anything else that quits the loop (another window's last close) ends the modal run too.
    MessageLoop::getMain().run();
    if (!gone) {
        modal = false;
        aliveFlag = previousFlag;
    } else if (previousFlag != nullptr) {
        *previousFlag = true;
    }
}

void Window::setMouseLocked(bool locked)
{
    if (locked == mouseLocked || native == nullptr)
        return;
    mouseLocked = locked;
    if (locked) {
        lockSavedPosition = native->getPointerScreenPosition();
        lockPosition = lockSavedPosition;
        lockAccumulated = Point();
        native->setCursorHidden(true);
    } else {
        native->warpPointer(lockSavedPosition);
        native->setCursorHidden(false);
    }
}

//==================================================================================================
// Process-wide

const std::vector<Window*>& Window::getAllWindows() noexcept
{
    return allWindows();
}

const std::vector<Window*>& Window::getFrameWindows() noexcept
{
    return frameWindows();
}

int Window::getNumStandAloneWindows() noexcept
{
    return standAloneCount;
}

void Window::addToFrameList()
{
    auto& list = frameWindows();
    if (contains(list, this))
        return;
    list.push_back(this);
    if (vsyncTimer() == nullptr) {
        vsyncTimer() = std::make_unique<VSyncTimer>();
        vsyncTimer()->startTimer(frameIntervalMilliseconds);
    }
}

void Window::removeFromFrameList() noexcept
{
    auto& list = frameWindows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (list.empty())
        vsyncTimer().reset();
}

void Window::runFrame()
{
    // A tick may close or delete windows (its own or others): walk a copy and re-check each entry.
    const std::vector<Window*> windows = frameWindows();
    for (Window* w : windows) {
        if (!contains(frameWindows(), w))
            continue;
        w->tick();
        if (!contains(frameWindows(), w))
            continue;
        if ((w->flags & openGLFlag) != 0 && w->renderingContext != nullptr && w->native != nullptr
            && w->native->isAlive())
            w->redraw(0);
    }
}

Window::KeyMapping Window::mapKeyCharacter(uint32_t c, KeyCode& code) noexcept
{
    switch (c) {
    case 0xF700: code = KeyCodes::up; return KeyMapping::send;
    case 0xF701: code = KeyCodes::down; return KeyMapping::send;
    case 0xF702: code = KeyCodes::left; return KeyMapping::send;
    case 0xF703: code = KeyCodes::right; return KeyMapping::send;
    case 0xF728: code = KeyCodes::forwardDelete; return KeyMapping::send;
    case 3:
    case 13: code = KeyCodes::returnKey; return KeyMapping::send;
    case 127: code = KeyCodes::backspace; return KeyMapping::send;
    case 10: return KeyMapping::consumed;
    case 0: return KeyMapping::refused;
    default: code = static_cast<KeyCode>(c); return KeyMapping::send;
    }
}

//==================================================================================================
// What the view does with the native events

void Window::nativeMouseDown(Point position, uint32_t button, int clicks)
{
    lastMouseDown = position;
    mouseEvent(0, mouseEventDown, position, button, clicks, 0.0f, 0.0f);
}

void Window::nativeMouseUp(Point position, uint32_t button)
{
    if (mouseLocked)
        setMouseLocked(false);
    mouseEvent(0, mouseEventUp, position, button, 1, 0.0f, 0.0f);
}

void Window::nativeMouseMoved(Point position, Point screen, bool dragging)
{
    if (dragging && mouseLocked && native != nullptr) {
        // The pointer stays pinned; what it would have travelled is added up and reported from the press.
        const Point travelled = screen - lockPosition;
        if (travelled.x != 0 || travelled.y != 0) {
            lockAccumulated = lockAccumulated + travelled;
            native->warpPointer(lockPosition);
        }
        position = lastMouseDown + lockAccumulated;
    }
    mouseEvent(0, mouseEventMove, position, 0, 0, 0.0f, 0.0f);
}

void Window::nativeMouseWheel(Point position, float deltaX, float deltaY)
{
    mouseEvent(0, mouseEventWheel, position, 0, 0, deltaX, deltaY);
}

void Window::nativeMouseEntered(Point position)
{
    mouseEvent(0, mouseEventEntered, position, 0, 0, 0.0f, 0.0f);
}

void Window::nativeMouseExited()
{
    if (native != nullptr)
        native->showCursor(Mouse::Cursor(cursorArrow));
    mouseEvent(0, mouseEventExited, Point(), 0, 0, 0.0f, 0.0f);
}

bool Window::nativeKey(uint32_t character, int32_t hardwareCode, bool isDown)
{
    KeyCode code = 0;
    switch (mapKeyCharacter(character, code)) {
    case KeyMapping::refused: return false;
    case KeyMapping::consumed: return true;
    case KeyMapping::send: break;
    }
    return isDown ? keyDown(code, hardwareCode) : keyUp(code, hardwareCode);
}

void Window::nativeModifiersChanged(uint32_t modifiers)
{
    // Every change reports all four, in this order: held ones as key-down, the others as key-up.
    static constexpr struct {
        uint32_t mask;
        KeyCode key;
    } order[] = {{NativeWindow::modifierOption, KeyCodes::option},
                 {NativeWindow::modifierCommand, KeyCodes::command},
                 {NativeWindow::modifierShift, KeyCodes::shift},
                 {NativeWindow::modifierControl, KeyCodes::control}};
    for (const auto& m : order) {
        if ((modifiers & m.mask) != 0)
            keyDown(m.key, 0);
        else
            keyUp(m.key, 0);
    }
}

void Window::nativeFocusChanged(bool active)
{
    activeChanged(active);
}

void Window::nativeResized(int32_t width, int32_t height)
{
    if (renderingContext != nullptr)
        renderingContext->setSize(width, height);
    resized(Point(width, height));
}

void Window::nativeBackingScaleChanged(double scale)
{
    if ((flags & bestResolutionFlag) == 0 || scale <= 0.0 || scale == backingScale)
        return;
    const double old = backingScale;
    backingScale = scale;
    backingScaleChanged(scale, old);
}

void Window::nativeFilesDropped(Point position, const FileList& files)
{
    filesDropped(position, files);
}

void Window::nativeCloseButton()
{
    if (modal) {
        modalEnded = true;
        MessageLoop::getMain().quit();
        return;
    }
    removeFromFrameList();
    if (countedStandAlone) {
        countedStandAlone = false;
        if (--standAloneCount == 0) {
            MessageLoop::getMain().quit();
            return;
        }
    }
    delete this;
}

void Window::nativeDestroyed()
{
    // The parent went first: nothing may draw into the dead drawable; the owner still destroys us.
    removeFromFrameList();
    if (mouseLocked) {
        mouseLocked = false;
    }
}

//==================================================================================================

int ClickCounter::press(uint32_t button, Point position, double timeMilliseconds) noexcept
{
    const bool continues = count > 0 && button == lastButton && timeMilliseconds - lastTime <= defaultInterval
                           && timeMilliseconds >= lastTime && std::abs(position.x - lastPosition.x) <= defaultDistance
                           && std::abs(position.y - lastPosition.y) <= defaultDistance;
    count = continues ? count + 1 : 1;
    lastButton = button;
    lastPosition = position;
    lastTime = timeMilliseconds;
    return count;
}

} // namespace q9framework
