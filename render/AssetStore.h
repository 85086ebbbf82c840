// The process-wide registries of shader programs and textures, keyed by name.
// Filled once at start-up; the frame loop only looks up stored keys.
#pragma once
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include <map>
#include <string>

class AssetStore {
public:
    static std::map<std::string, Texture> textures;
    static std::map<std::string, ShaderProgram> shaderPrograms;

    static ShaderProgram storeProgramFromFiles(std::string key);
    static ShaderProgram programFor(std::string key);  // inserts a program named 0 for an unknown key
    static Texture storeTextureFromFile(const char* path, bool hasAlpha, std::string key);
    static Texture textureFor(std::string key);  // inserts a fresh, empty texture for an unknown key

    // Deletes every GL program, then every GL texture; the entries stay.
    static void releaseAll();
};
