#include "render/Texture.h"
Texture::Texture() { glGenTextures(1, &textureId); }
