#pragma once
#include "framework/resources/Image.h"

#include <string>

namespace q9framework {
class ComponentsWindow;
}

namespace kelvane {

/** The pixels of an OpenGL ComponentsWindow as its last frame presented them, read back from GL
    (glReadPixels of the front buffer, where a single-buffered context draws and a swap presents),
    top row first, opaque. A null image when the window has no context or it cannot be made current.
    Call it right after a frame (Window::runFrame). Loop thread. */
q9framework::Image readWindowPixels(q9framework::ComponentsWindow& window);

/** Writes an image as an 8-bit RGB PNG (alpha dropped: a window's pixels are opaque). False when
    the file cannot be written or the image is null. */
bool writePng(const q9framework::Image& image, const std::string& path);

} // namespace kelvane
