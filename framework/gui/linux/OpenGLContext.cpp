// GLX on an X11 window, with libepoxy resolving every function. The context is created from the
// window's own visual so that it can be current on the window; no sharing between contexts (each
// window uploads its own textures), no core profile (the drawing is fixed-function quads).
// Shader build failures are the only diagnostics the toolkit writes: to syslog, with a prefix per stage.
#include "framework/gui/linux/OpenGLContext.h"
#include "framework/gui/linux/GLXVisual.h"
#include "framework/gui/linux/OpenGLTexture.h"
#include "framework/gui/linux/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <epoxy/gl.h>
#include <epoxy/glx.h>
#include <syslog.h>

#include <algorithm>
#include <string>

namespace q9framework {

namespace {

std::vector<OpenGLContext*>& allContexts()
{
    static std::vector<OpenGLContext*> contexts;
    return contexts;
}

const char* const circleVertexShader = R"(#version 120
attribute float radiusIn;
attribute vec2 centerIn;
varying vec4 colour;
varying vec2 position;
varying float radius;
varying vec2 center;
void main()
{
    colour = gl_Color;
    position = gl_Vertex.xy;
    radius = radiusIn;
    center = centerIn;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
)";

const char* const circleFragmentShader = R"(#version 120
varying vec4 colour;
varying vec2 position;
varying float radius;
varying vec2 center;
void main()
{
    float dist = distance(position, center);
    float a = smoothstep(radius - 0.5, radius + 0.5, dist);
    gl_FragColor = vec4(colour.rgb, colour.a * sqrt(1.0 - a));
}
)";

constexpr GLsizei maximumLogLength = 50000;

void logShaderFailure(GLuint object, bool isProgram, const char* prefix)
{
    std::string log(maximumLogLength, '\0');
    GLsizei length = 0;
    if (isProgram)
        glGetProgramInfoLog(object, maximumLogLength, &length, log.data());
    else
        glGetShaderInfoLog(object, maximumLogLength, &length, log.data());
    log.resize(static_cast<size_t>(std::clamp<GLsizei>(length, 0, maximumLogLength)));
    syslog(LOG_ERR, "%s%s", prefix, log.c_str());
}

GLuint compileStage(GLenum stage, const char* source, const char* prefix)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        logShaderFailure(shader, false, prefix);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

inline void colourOf(Colour c)
{
    glColor4f(c.getRed() / 255.0f, c.getGreen() / 255.0f, c.getBlue() / 255.0f, c.getAlpha() / 255.0f);
}

} // namespace

std::unique_ptr<OpenGLContext> OpenGLContext::create(_XDisplay* display, unsigned long window, bool doubleBuffered)
{
    if (display == nullptr || window == 0)
        return nullptr;
    // One trap for the context's whole life (errors of its drawing arrive whenever Xlib reads them), and
    // one that checks the creation itself.
    auto windowErrors = std::make_unique<X11ErrorTrap>(display, "drawing with OpenGL");
    X11ErrorTrap trap(display, "creating an OpenGL context");
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.hasFailed())
        return nullptr;
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int found = 0;
    const XVisualInfoPtr visual(XGetVisualInfo(display, VisualIDMask, &wanted, &found));
    if (visual == nullptr)
        return nullptr;
    GLXContext glx = glXCreateContext(display, visual.get(), nullptr, True);
    if (glx == nullptr)
        return nullptr;
    // Made current here, before anything is set up on it, so a window that went meanwhile is refused
    // while no GL call has been made (the caller's context, if any, stays current then).
    if (!glXMakeCurrent(display, window, glx) || trap.hasFailed()) {
        if (glXGetCurrentContext() == glx)
            glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, glx);
        return nullptr;
    }
    std::unique_ptr<OpenGLContext> created(new OpenGLContext(display, window, glx, doubleBuffered, std::move(windowErrors)));
    if (trap.hasFailed())
        return nullptr;
    return created;
}

OpenGLContext::OpenGLContext(_XDisplay* dpy, unsigned long win, __GLXcontextRec* glx, bool isDoubleBuffered,
                             std::unique_ptr<X11ErrorTrap> errors)
    : windowErrors(std::move(errors)), context(glx), display(dpy), window(win), doubleBuffered(isDoubleBuffered)
{
    allContexts().push_back(this);
    makeCurrent();
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) != 0)
        size = {attributes.width, attributes.height};

    // A single-buffered context may sit on a window whose visual also has a back buffer; it must then
    // draw where the window shows, or glFlush would present nothing.
    if (!doubleBuffered) {
        glDrawBuffer(GL_FRONT);
        glReadBuffer(GL_FRONT);
    }
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    circleProgram = buildProgram(circleVertexShader, circleFragmentShader);
    if (circleProgram != 0) {
        radiusLocation = glGetAttribLocation(circleProgram, "radiusIn");
        centreLocation = glGetAttribLocation(circleProgram, "centerIn");
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    maximumTextureSize = maxSize;
}

OpenGLContext::~OpenGLContext()
{
    for (OpenGLTexture* t : textures)
        t->detachFromContext();
    textures.clear();
    auto& list = allContexts();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());

    // The program belongs to this context, so it must be current to delete it (when the window is
    // gone it cannot be, and the program goes with the context); whatever the caller had current is
    // put back afterwards.
    _XDisplay* const previousDisplay = glXGetCurrentDisplay();
    const GLXDrawable previousDrawable = glXGetCurrentDrawable();
    const GLXContext previousContext = glXGetCurrentContext();
    X11ErrorTrap trap(display, "destroying an OpenGL context");
    if (makeCurrent() && circleProgram != 0)
        glDeleteProgram(circleProgram);
    if (glXGetCurrentContext() == context)
        glXMakeCurrent(display, None, nullptr);
    if (previousContext != nullptr && previousContext != context) {
        X11ErrorTrap restoring(previousDisplay, "restoring the caller's OpenGL context");
        glXMakeCurrent(previousDisplay, previousDrawable, previousContext);
    }
    glXDestroyContext(display, context);
}

unsigned int OpenGLContext::buildProgram(const char* vertexSource, const char* fragmentSource)
{
    const GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource, "[VERTEX SHADER]: ");
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, "[FRAGMENT SHADER]: ");
    if (vertex == 0 || fragment == 0) {
        if (vertex != 0)
            glDeleteShader(vertex);
        if (fragment != 0)
            glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    // The program keeps what it needs; the stages can go now.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        logShaderFailure(program, true, "[PROGRAM]: ");
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

bool OpenGLContext::makeCurrent()
{
    if (glXGetCurrentContext() == context && glXGetCurrentDrawable() == window)
        return true;
    X11ErrorTrap trap(display, "making an OpenGL context current");
    return glXMakeCurrent(display, window, context) && !trap.hasFailed() && glXGetCurrentContext() == context;
}

bool OpenGLContext::isCurrent() const
{
    return glXGetCurrentContext() == context;
}

OpenGLContext* OpenGLContext::getCurrent()
{
    const GLXContext current = glXGetCurrentContext();
    if (current == nullptr)
        return nullptr;
    for (OpenGLContext* c : allContexts())
        if (c->context == current)
            return c;
    return nullptr;
}

std::unique_ptr<Texture> OpenGLContext::createTexture(int32_t width, int32_t height, int32_t, int32_t format)
{
    if (width < 1 || height < 1 || width > maximumTextureSize || height > maximumTextureSize)
        return nullptr;
    auto texture = std::make_unique<OpenGLTexture>(*this, width, height, format, true);
    if (!texture->isValid())
        return nullptr;
    return texture;
}

Rectangle OpenGLContext::getClip()
{
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    return {box[0], size.height - (box[1] + box[3]), box[2], box[3]};
}

void OpenGLContext::setClip(Rectangle clip)
{
    if (clip.isEmpty()) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(clip.x, size.height - (clip.y + clip.height), clip.width, clip.height);
}

namespace {
/** Four corners with a colour each, in the order top-left, top-right, bottom-right, bottom-left. The
    outline goes through the corner pixels (right and bottom edges one pixel in); the fill covers the
    whole rectangle. */
void emitCorners(GLenum mode, Rectangle r, const Colour corners[4], int32_t inset)
{
    const int32_t right = r.x + r.width - inset, bottom = r.y + r.height - inset;
    const int32_t xs[4] = {r.x, right, right, r.x}, ys[4] = {r.y, r.y, bottom, bottom};
    glDisable(GL_TEXTURE_2D);
    glBegin(mode);
    for (int i = 0; i < 4; ++i) {
        colourOf(corners[i]);
        glVertex2i(xs[i], ys[i]);
    }
    glEnd();
}
} // namespace

void OpenGLContext::drawRectOutline(Rectangle r, const Colour corners[4])
{
    emitCorners(GL_LINE_LOOP, r, corners, 1);
}

void OpenGLContext::fillRectCorners(Rectangle r, const Colour corners[4])
{
    emitCorners(GL_QUADS, r, corners, 0);
}

void OpenGLContext::drawLine(Point from, Point to, Colour colour)
{
    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    colourOf(colour);
    glVertex2i(from.x, from.y);
    glVertex2i(to.x, to.y);
    glEnd();
}

void OpenGLContext::fillCircle(Rectangle r, Colour colour)
{
    const GLuint previous = programInUse;
    if (circleProgram != 0 && programInUse != circleProgram) {
        glUseProgram(circleProgram);
        programInUse = circleProgram;
    }
    if (circleProgram != 0 && radiusLocation >= 0 && centreLocation >= 0) {
        glVertexAttrib1f(static_cast<GLuint>(radiusLocation), static_cast<float>(r.width) * 0.5f);
        glVertexAttrib2f(static_cast<GLuint>(centreLocation), static_cast<float>(r.x + (r.x + r.width)) * 0.5f,
                         static_cast<float>(r.y + (r.y + r.height)) * 0.5f);
    }
    fillRect(r, colour);
    if (programInUse != previous) {
        glUseProgram(previous != 0 ? previous : defaultProgram);
        programInUse = previous;
    }
}

void OpenGLContext::setSize(int32_t width, int32_t height)
{
    size = {width, height};
}

void OpenGLContext::beginFrame()
{
    if (!makeCurrent())
        return;
    glEnable(GL_SCISSOR_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, size.width, size.height, 0.0, 0.0, 1.0);
    glViewport(0, 0, size.width, size.height);
    glScissor(0, 0, size.width, size.height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void OpenGLContext::flush()
{
    if (doubleBuffered)
        glXSwapBuffers(display, window);
    else
        glFlush();
}

ScopedCurrentContext::ScopedCurrentContext(OpenGLContext& target)
    : previousDisplay(glXGetCurrentDisplay()), previousDrawable(glXGetCurrentDrawable()),
      previousContext(glXGetCurrentContext()), switched(!target.isCurrent()), active(true)
{
    if (switched)
        active = target.makeCurrent();
}

ScopedCurrentContext::~ScopedCurrentContext()
{
    if (switched && previousContext != nullptr && previousDisplay != nullptr
        && (glXGetCurrentContext() != previousContext || glXGetCurrentDrawable() != previousDrawable)) {
        X11ErrorTrap trap(previousDisplay, "restoring the caller's OpenGL context");
        glXMakeCurrent(previousDisplay, previousDrawable, previousContext);
    }
}

} // namespace q9framework
