#include "ReferenceContext.h"

#include "XDisplay.h"

#include <GL/glew.h>
#include <GL/glx.h>
#include <memory>
#include <stdexcept>

void inReferenceContext(const std::function<void()>& work)
{
    const XDisplay connection;
    Display* display = connection.get();
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual)
        throw std::runtime_error("no double-buffered RGB visual for the reference GL context");
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    // Never mapped: it only gives the context a drawable, and never covers the game's window.
    const Window window = XCreateWindow(display, root, 0, 0, 16, 16, 0, visual->depth, InputOutput, visual->visual,
                                        CWColormap, &windowAttributes);
    const GLXContext context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    // Everything is let go on the way out, also when `work` or a step below throws.
    const std::shared_ptr<void> release(nullptr, [&](void*) {
        glXMakeCurrent(display, None, nullptr);
        if (context)
            glXDestroyContext(display, context);
        XDestroyWindow(display, window);
        XFreeColormap(display, windowAttributes.colormap);
    });
    if (!context || !glXMakeCurrent(display, window, context))
        throw std::runtime_error("cannot make the reference GL context current");
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        throw std::runtime_error("glewInit failed in the reference GL context");
    work();
}
