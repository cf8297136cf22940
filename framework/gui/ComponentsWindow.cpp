#include "framework/gui/ComponentsWindow.h"

#include "framework/gui/Painter.h"
#include "framework/gui/RenderingContext.h"

#include <algorithm>
#include <cmath>

namespace q9framework {

ComponentsWindow::ComponentsWindow(Rectangle bounds, uint32_t styleFlags, const String& windowTitle, void* parentView)
    : Window(styleFlags), container(this)
{
    container.setNoAreaCopy((getFlags() & noAreaCopyFlag) != 0);
    container.setListener(this);
    createNative(bounds, getFlags(), windowTitle, parentView);
    container.setBackingScale(getBackingScale());
}

ComponentsWindow::~ComponentsWindow()
{
    // The tree may still hold the pointer or the lock; the native side and the GPU objects go next.
    releaseGraphics();
    renderingContext.reset();
    destroyNative();
    container.setListener(nullptr);
}

void ComponentsWindow::releaseGraphics()
{
    surface.reset();
    scaledPicture.reset();
}

int ComponentsWindow::getSurfaceKind() const noexcept
{
    const uint32_t f = getFlags();
    if ((f & openGLFlag) != 0)
        return surfaceOpenGL;
    if ((f & quartzFlag) != 0)
        return surfaceQuartz;
    if ((f & openGLSurfaceFlag) != 0)
        return surfaceOpenGLOnly;
    return -1;
}

Point ComponentsWindow::toContainer(Point p)
{
    if (!isScaled())
        return p;
    const Point window = getContentSize(), inner = container.getSize();
    if (window.x < 1 || window.y < 1)
        return p;
    return {static_cast<int32_t>(static_cast<double>(p.x) * inner.x / window.x),
            static_cast<int32_t>(static_cast<double>(p.y) * inner.y / window.y)};
}

Rectangle ComponentsWindow::toWindow(const Rectangle& area)
{
    if (!isScaled())
        return area;
    const Point window = getContentSize(), inner = container.getSize();
    if (inner.x < 1 || inner.y < 1)
        return area;
    const double sx = static_cast<double>(window.x) / inner.x, sy = static_cast<double>(window.y) / inner.y;
    const auto left = static_cast<int32_t>(std::floor(area.x * sx));
    const auto top = static_cast<int32_t>(std::floor(area.y * sy));
    const auto right = static_cast<int32_t>(std::ceil(area.getRight() * sx));
    const auto bottom = static_cast<int32_t>(std::ceil(area.getBottom() * sy));
    return {left, top, right - left, bottom - top};
}

//==================================================================================================

void ComponentsWindow::backingScaleChanged(double newScale, double)
{
    container.setBackingScale(newScale);
}

bool ComponentsWindow::isInterestedInFiles(Point position, const FileList& files)
{
    return container.isInterestedInFiles(toContainer(position), files);
}

void ComponentsWindow::filesDropped(Point position, const FileList& files)
{
    container.filesDropped(toContainer(position), files);
}

void ComponentsWindow::mouseEvent(int pointer, MouseEventType type, Point position, uint32_t button, int clicks,
                                  float wheelX, float wheelY)
{
    container.dispatchPointerEvent(pointer, type, toContainer(position), button, clicks, wheelX, wheelY);
}

void ComponentsWindow::resized(Point size)
{
    if (!isScaled()) {
        container.setSize(size.x, size.y);
    } else if (Component* root = container.getRoot()) {
        container.setSize(root->getWidth(), root->getHeight());
    }
    if ((getFlags() & repaintOnResizeFlag) != 0) {
        if (!isScaled())
            container.repaintAll();
        surface.reset();
    }
}

void ComponentsWindow::tick()
{
    container.broadcastUpdate();
}

void ComponentsWindow::redraw(int argument)
{
    if ((getFlags() & openGLFlag) != 0) {
        RenderingContext* const context = getRenderingContext();
        if (context == nullptr || getNative() == nullptr || !getNative()->beginFrame(*context))
            return;
        repaint(argument);
        getNative()->endFrame(*context);
    } else if ((getFlags() & quartzFlag) != 0) {
        repaint(argument);
    }
}

bool ComponentsWindow::keyDown(KeyCode key, int32_t hardwareCode)
{
    return container.keyDown(key, hardwareCode);
}

bool ComponentsWindow::keyUp(KeyCode key, int32_t hardwareCode)
{
    return container.keyUp(key, hardwareCode);
}

void ComponentsWindow::releaseAllButtons(Point position)
{
    for (const uint32_t button : {uint32_t(mouseButtonLeft), uint32_t(mouseButtonOther), uint32_t(mouseButtonRight)})
        container.dispatchPointerEvent(0, mouseEventUp, position, button, 0, 0.0f, 0.0f);
}

void ComponentsWindow::activeChanged(bool active)
{
    // Focus went elsewhere with a button held: its release will never reach us, so no control stays pressed.
    if (!active)
        releaseAllButtons(Point(-1, -1));
}

void ComponentsWindow::releaseButtonsAt(Point position)
{
    releaseAllButtons(toContainer(position));
}

void ComponentsWindow::areaInvalidated(const Rectangle&)
{
    // Frames come from the timer and paint the container's own dirty region, so an invalidated area
    // needs nothing more here (a window drawn by the platform on demand would schedule a redraw).
}

void ComponentsWindow::areaMoved(const Rectangle& source, const Rectangle& destination)
{
    if (isScaled()) {
        // The tree paints into the off-screen picture: the move happens there; the resampled window
        // picture follows through the changed region.
        if (scaledPicture != nullptr) {
            Image picture = scaledPicture->getImage();
            const Rectangle bounds(0, 0, picture.getWidth(), picture.getHeight());
            if (!source.isEmpty() && bounds.contains(source) && bounds.contains(destination))
                picture.moveRect(source, Point(destination.x, destination.y));
        }
        return;
    }
    if (surface != nullptr)
        surface->copyArea(source, Point(destination.x, destination.y));
}

void ComponentsWindow::areaMovedOnScreen(const Rectangle& source, const Rectangle& destination)
{
    if (surface != nullptr && !isScaled())
        surface->copyAreaOnScreen(getContentView(), source, Point(destination.x, destination.y));
}

void ComponentsWindow::showCursor(const Mouse::Cursor& cursor)
{
    if (getNative() != nullptr)
        getNative()->showCursor(cursor);
}

//==================================================================================================

void ComponentsWindow::repaint(int argument)
{
    container.frameStarting(argument);

    const Point size = getContentSize();
    const bool validSize = size.x > 0 && size.y > 0;
    if (surface != nullptr && validSize && (surface->getWidth() != size.x || surface->getHeight() != size.y))
        surface.reset();
    bool surfaceIsNew = false;
    if (surface == nullptr && validSize) {
        const int surfaceKind = getSurfaceKind();
        if (surfaceKind >= 0) {
            surface = createSurface(getRenderingContext(), surfaceKind, size.x, size.y);
            surfaceIsNew = surface != nullptr;
        }
    }
    if (surface == nullptr) {
        // No surface kind (or none could be made): nothing is painted.
        container.clearRegions();
        container.frameFinished();
        return;
    }

    rectangles.clear();
    if (!isScaled()) {
        if (surfaceIsNew)
            container.repaintAll();    // a new surface starts blank
        if ((getFlags() & alwaysRepaintFlag) == 0 && !container.isDirty() && container.getChangedArea().isEmpty()) {
            surface->drawToScreen();
            container.clearRegions();
            container.frameFinished();
            return;
        }
        int32_t stride = 0;
        uint8_t* const pixels = surface->lockPixels(stride);
        if (pixels != nullptr)
            container.paintDirtyRegion(pixels, surface->getWidth(), surface->getHeight(), stride, false);
        container.getChangedArea().toRectangles(rectangles);
    } else {
        const Point inner = container.getSize();
        if (inner.x < 1 || inner.y < 1) {
            container.clearRegions();
            container.frameFinished();
            return;
        }
        if (scaledPicture == nullptr || scaledPicture->getWidth() != inner.x || scaledPicture->getHeight() != inner.y) {
            scaledPicture = std::make_unique<MemorySurface>(inner.x, inner.y);
            container.repaintAll();
        }
        if ((getFlags() & alwaysRepaintFlag) == 0 && !surfaceIsNew && !container.isDirty()
            && container.getChangedArea().isEmpty()) {
            surface->drawToScreen();
            container.clearRegions();
            container.frameFinished();
            return;
        }
        int32_t innerStride = 0;
        uint8_t* const innerPixels = scaledPicture->lockPixels(innerStride);
        container.paintDirtyRegion(innerPixels, inner.x, inner.y, innerStride, false);

        const Rectangle whole(0, 0, size.x, size.y);
        if (surfaceIsNew) {
            rectangles.add(whole);
        } else {
            Array<Rectangle> changed;
            container.getChangedArea().toRectangles(changed);
            for (const Rectangle& r : changed) {
                const Rectangle w = toWindow(r).getIntersection(whole);
                if (!w.isEmpty())
                    rectangles.add(w);
            }
        }
        int32_t stride = 0;
        uint8_t* const pixels = surface->lockPixels(stride);
        if (pixels != nullptr && !rectangles.isEmpty()) {
            const Image target(pixels, size.x, size.y, stride, true);
            Painter::drawImageTransformed(target, scaledPicture->getImage(), rectangles.data(), rectangles.size(), -1);
        }
    }
    if (!rectangles.isEmpty())
        surface->presentRects(rectangles.data(), rectangles.size(), getContentView(), argument);
    surface->drawToScreen();
    container.clearRegions();
    container.frameFinished();
}

} // namespace q9framework
