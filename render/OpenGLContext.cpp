#include "render/OpenGLContext.h"

#include <GL/glew.h>

namespace {

std::string driverString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    // An indirect context that the X server could not back answers with empty strings.
    if (text == nullptr || *text == '\0')
        return "(none given)";
    return reinterpret_cast<const char*>(text);
}

}  // namespace

bool contextOffersOpenGL33()
{
    return glewInit() == GLEW_OK && glewIsSupported("GL_VERSION_3_3");
}

std::string describeContext()
{
    return "OpenGL version: " + driverString(GL_VERSION) + "\nRenderer: " + driverString(GL_RENDERER);
}
