// Whether the game takes a context as OpenGL 3.3, from what GLEW and the driver answer; and the
// version read from GL_VERSION strings as drivers write them. No context needed.
#include "render/OpenGLContext.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

namespace {

// glewInit's answer under a freeglut on EGL, when GLEW was built for GLX.
const unsigned noGlxDisplay = 4;

TEST(OpenGLContext, GlewsAnswerDecidesWhenItLoadedEverything)
{
    EXPECT_TRUE(offersOpenGL33(GLEW_OK, "3.3 (Compatibility Profile) Mesa 22.3.6", true));
    EXPECT_FALSE(offersOpenGL33(GLEW_OK, "1.4 (2.1 Mesa 22.3.6)", false));
}

TEST(OpenGLContext, WithoutAGlxDisplayTheContextsVersionDecides)
{
    for (const char* version : {"4.6 (Compatibility Profile) Mesa 22.3.6", "3.3.0 NVIDIA 535.54.03", "10.0"})
        EXPECT_TRUE(offersOpenGL33(noGlxDisplay, version, false)) << version;
    for (const char* version :
         {"3.0 Mesa 22.3.6", "3.2.0", "2.1 Mesa 22.3.6", "(none given)", "", "OpenGL ES 3.2 Mesa 22.3.6"})
        EXPECT_FALSE(offersOpenGL33(noGlxDisplay, version, true)) << version;
    EXPECT_FALSE(offersOpenGL33(noGlxDisplay, nullptr, true));
}

TEST(OpenGLContext, AnyOtherGlewErrorIsRefused)
{
    const unsigned errors[] = {GLEW_ERROR_NO_GL_VERSION, GLEW_ERROR_GL_VERSION_10_ONLY, GLEW_ERROR_GLX_VERSION_11_ONLY,
                               5, 0xFFFF};
    for (const unsigned error : errors)
        EXPECT_FALSE(offersOpenGL33(error, "4.6.0 NVIDIA 535.54.03", true)) << error;
}

void expectVersion(const char* text, int major, int minor)
{
    const OpenGLVersion version = parseOpenGLVersion(text);
    EXPECT_EQ(version.major, major) << (text != nullptr ? text : "null");
    EXPECT_EQ(version.minor, minor) << (text != nullptr ? text : "null");
}

TEST(OpenGLContext, ReadsTheVersionAtTheStartOfGlVersion)
{
    expectVersion("4.6.0 NVIDIA 535.54.03", 4, 6);
    expectVersion("3.3 (Compatibility Profile) Mesa 22.3.6", 3, 3);
    expectVersion("1.4 (2.1 Mesa 22.3.6)", 1, 4);
    expectVersion("4.60 - Build 31.0.101.4502", 4, 60);
    expectVersion("OpenGL ES 3.2 Mesa 22.3.6", 3, 2);
    expectVersion("OpenGL ES-CM 1.1 Mesa 22.3.6", 1, 1);
    expectVersion("99999999999999999999.1", 9999, 1);
}

TEST(OpenGLContext, AStringWithoutAVersionReadsAsNone)
{
    for (const char* text : {"(none given)", "", "OpenGL ES", "4", "4.", ".6", " 4.6", "Mesa 4.6", "OpenGL 4.6"})
        expectVersion(text, 0, 0);
    expectVersion(nullptr, 0, 0);
}

}  // namespace
