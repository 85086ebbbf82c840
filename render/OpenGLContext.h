// What the game asks of the window's OpenGL context: shaders, vertex arrays and buffers,
// all part of OpenGL 3.3. A driver that offers less (Windows' own renderer offers 1.1, an
// indirect GLX context 1.4) would leave those entry points null.
#pragma once
#include <string>

// Loads GLEW's entry points for the current context and tells whether it offers OpenGL 3.3.
bool contextOffersOpenGL33();

// The driver's own words for what it offers, on two lines: "OpenGL version: …" and "Renderer: …".
std::string describeContext();
