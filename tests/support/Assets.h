// The files the game reads from its working directory, as they are kept with the sources.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// The two shader sources and the four images, in that order.
const std::vector<std::string>& assetNames();
// The four images alone.
const std::vector<std::string>& imageAssetNames();
// The source tree's assets folder, and one file of it.
std::filesystem::path assetsFolder();
std::filesystem::path sourceAsset(const std::string& name);
