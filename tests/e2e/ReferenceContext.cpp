#include "ReferenceContext.h"

#include "XDisplay.h"

#include <GL/glew.h>
#include <GL/glx.h>
#include <stdexcept>

ReferenceContext::ReferenceContext() : display_(std::make_unique<XDisplay>())
{
    Display* display = display_->get();
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual)
        throw std::runtime_error("no double-buffered RGB visual for the reference GL context");
    const Window root = RootWindow(display, visual->screen);
    colormap_ = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap_;
    // Never mapped: it only gives the context a drawable, and never covers the game's window.
    window_ = XCreateWindow(display, root, 0, 0, 16, 16, 0, visual->depth, InputOutput, visual->visual, CWColormap,
                            &windowAttributes);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    context_ = context;
    if (!context || !glXMakeCurrent(display, window_, context))
        throw std::runtime_error("cannot make the reference GL context current");
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        throw std::runtime_error("glewInit failed in the reference GL context");
}

ReferenceContext::~ReferenceContext()
{
    Display* display = display_->get();
    glXMakeCurrent(display, None, nullptr);
    if (context_)
        glXDestroyContext(display, static_cast<GLXContext>(context_));
    XDestroyWindow(display, window_);
    XFreeColormap(display, colormap_);
}
