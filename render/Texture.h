// A GPU texture record. Copies name the same texture; only AssetStore::releaseAll deletes it.
#pragma once
#include <GL/glew.h>

class Texture {
public:
    // 0 until a GL context hands out a name: the level's default texture is built before any context exists.
    GLuint textureId = 0;
    GLint width = 0;
    GLint height = 0;
    GLenum internalFormat = GL_RGB;
    GLenum imageFormat = GL_RGB;
    GLenum wrapS = GL_REPEAT;
    GLenum wrapT = GL_REPEAT;
    GLenum minFilter = GL_LINEAR;
    GLenum magFilter = GL_LINEAR;

    Texture();  // asks GL for a fresh name

    // Defines level 0 from `pixels` (width × height texels laid out as imageFormat, rows tightly
    // packed, may be null), sets the wrap and filter parameters and leaves GL_TEXTURE_2D unbound.
    // The unpack alignment is back at GL's default of 4 afterwards.
    void upload(const unsigned char* pixels);
};
