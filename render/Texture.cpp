// GPU texture records: a name from GL and the image defined from decoded pixels.
#include "render/Texture.h"

Texture::Texture()
{
    // Without a current context GL hands out nothing and textureId keeps its 0.
    glGenTextures(1, &textureId);
}

void Texture::upload(const unsigned char* pixels)
{
    glBindTexture(GL_TEXTURE_2D, textureId);
    // Decoded rows are tightly packed; an RGB row need not fill a multiple of 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, imageFormat,
                 GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    // No mipmaps: the linear minifying filter needs none.
    glBindTexture(GL_TEXTURE_2D, 0);
}
