#include "Assets.h"

const std::vector<std::string>& assetNames()
{
    static const std::vector<std::string> names = {"vertex.txt", "fragment.txt", "paddle.png",
                                                   "awesomeface_01.png", "block.png", "background.jpg"};
    return names;
}

const std::vector<std::string>& imageAssetNames()
{
    static const std::vector<std::string> names(assetNames().begin() + 2, assetNames().end());
    return names;
}

std::filesystem::path assetsFolder()
{
    return ZORVEX_ASSETS_DIR;
}

std::filesystem::path sourceAsset(const std::string& name)
{
    return assetsFolder() / name;
}
