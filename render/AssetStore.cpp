// The name-keyed registries of the sprite program and the textures.
#include "render/AssetStore.h"

#include "render/ImageDecoder.h"

// The texture registry is defined first so that it is built first, as start-up expects.
std::map<std::string, Texture> AssetStore::textures;
std::map<std::string, ShaderProgram> AssetStore::shaderPrograms;

ShaderProgram AssetStore::storeProgramFromFiles(std::string key)
{
    return shaderPrograms.insert_or_assign(key, loadProgramFromFiles()).first->second;
}

ShaderProgram AssetStore::programFor(std::string key)
{
    // An unknown key gets a program named 0, which names no program.
    return shaderPrograms.try_emplace(key).first->second;
}

Texture AssetStore::storeTextureFromFile(const char* path, bool hasAlpha, std::string key)
{
    Texture texture;
    if (hasAlpha) {
        texture.internalFormat = GL_RGBA;
        texture.imageFormat = GL_RGBA;
    }
    // A missing or undecodable file leaves 0 × 0 and null pixels: an empty image, stored silently.
    // The decoder hands back exactly the channels the format reads, whatever the file holds.
    const DecodedImage image = decodeImageFile(path, channelsFor(hasAlpha));
    texture.width = image.width;
    texture.height = image.height;
    texture.upload(image.pixels);
    // insert_or_assign: operator[] would first build a default Texture and waste a GL name.
    return textures.insert_or_assign(key, texture).first->second;
}

Texture AssetStore::textureFor(std::string key)
{
    // try_emplace builds a Texture, and so asks GL for a name, only for an unknown key.
    return textures.try_emplace(key).first->second;
}

void AssetStore::releaseAll()
{
    for (const auto& entry : shaderPrograms)
        glDeleteProgram(entry.second.programId);
    for (const auto& entry : textures)
        glDeleteTextures(1, &entry.second.textureId);
}
