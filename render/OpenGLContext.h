// What the game asks of the window's OpenGL context: shaders, vertex arrays and buffers,
// all part of OpenGL 3.3. A driver that offers less (Windows' own renderer offers 1.1, an
// indirect GLX context 1.4) would leave those entry points null.
#pragma once
#include <string>

// Loads GLEW's entry points for the current context and tells whether it offers OpenGL 3.3.
bool contextOffersOpenGL33();

// The decision behind contextOffersOpenGL33, from what GLEW and the context answered: glewInit's
// result, the context's GL_VERSION string (null if it gave none) and glewIsSupported("GL_VERSION_3_3").
bool offersOpenGL33(unsigned glewInitResult, const char* version, bool glewSupports33);

struct OpenGLVersion {
    int major = 0;  // 0.0 where the string names no version
    int minor = 0;
};

// The version at the start of a GL_VERSION string: "4.6.0 NVIDIA 535.54", "3.3 (Compatibility
// Profile) Mesa 22.3.6", or for OpenGL ES "OpenGL ES 3.2 Mesa 22.3.6" and "OpenGL ES-CM 1.1".
OpenGLVersion parseOpenGLVersion(const char* version);

// The driver's own words for what it offers, on two lines: "OpenGL version: …" and "Renderer: …".
std::string describeContext();
