#include "render/OpenGLContext.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

namespace {

// GLEW 2's GLEW_ERROR_NO_GLX_DISPLAY, by value: Emscripten's glew.h lacks the name, and its
// glewInit only ever answers GLEW_OK.
constexpr unsigned glewNoGlxDisplay = 4;

// Larger numbers are kept at this, so that no string can overflow them.
constexpr int largestVersionNumber = 9999;

const char* glString(GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); }

std::string driverString(GLenum name)
{
    const char* text = glString(name);
    // An indirect context that the X server could not back answers with empty strings.
    if (text == nullptr || *text == '\0')
        return "(none given)";
    return text;
}

// Reads the decimal number at `text` and moves past it; false if no digit stands there.
bool readNumber(const char*& text, int& number)
{
    if (*text < '0' || *text > '9')
        return false;
    number = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        number = std::min(number * 10 + (*text - '0'), largestVersionNumber);
    return true;
}

}  // namespace

OpenGLVersion parseOpenGLVersion(const char* version)
{
    if (version == nullptr)
        return OpenGLVersion();
    const char* const esPrefix = "OpenGL ES";
    if (std::strncmp(version, esPrefix, std::strlen(esPrefix)) == 0) {
        version += std::strlen(esPrefix);
        while (*version != '\0' && *version != ' ')  // the profile of OpenGL ES 1: "-CM", "-CL"
            ++version;
        while (*version == ' ')
            ++version;
    }
    OpenGLVersion parsed;
    if (!readNumber(version, parsed.major) || *version != '.' || !readNumber(++version, parsed.minor))
        return OpenGLVersion();
    return parsed;
}

// GLEW 2.2 built for GLX first loads the GL entry points, then answers NO_GLX_DISPLAY when no GLX
// display is current, as under a freeglut that runs on EGL (Wayland builds). OpenGL itself loaded
// fine then, so the context's own version decides. Any other error is a failure of OpenGL.
bool offersOpenGL33(unsigned glewInitResult, const char* version, bool glewSupports33)
{
    if (glewInitResult == GLEW_OK)
        return glewSupports33;
    if (glewInitResult != glewNoGlxDisplay)
        return false;
    const OpenGLVersion parsed = parseOpenGLVersion(version);
    return parsed.major > 3 || (parsed.major == 3 && parsed.minor >= 3);
}

bool contextOffersOpenGL33()
{
    const unsigned result = glewInit();
    return offersOpenGL33(result, glString(GL_VERSION), glewIsSupported("GL_VERSION_3_3"));
}

std::string describeContext()
{
    return "OpenGL version: " + driverString(GL_VERSION) + "\nRenderer: " + driverString(GL_RENDERER);
}
