#include "GameFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

const std::vector<std::string>& GameFolder::assetNames()
{
    static const std::vector<std::string> names = {"vertex.txt", "fragment.txt", "paddle.png",
                                                   "awesomeface_01.png", "block.png", "background.jpg"};
    return names;
}

std::filesystem::path GameFolder::sourceAsset(const std::string& name)
{
    return std::filesystem::path(ZORVEX_ASSETS_DIR) / name;
}

std::string GameFolder::readSourceText(const std::string& name)
{
    std::ifstream file(sourceAsset(name), std::ios::binary);
    if (!file)
        throw std::runtime_error("missing asset " + sourceAsset(name).string());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

GameFolder::GameFolder(Contents contents)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvex-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root_ = pattern;
    workingDirectory_ = root_ / "game";
    std::filesystem::create_directory(workingDirectory_);
    if (contents == Contents::nothing)
        return;
    for (const std::string& name : assetNames()) {
        if (!std::filesystem::is_regular_file(sourceAsset(name)))
            throw std::runtime_error("missing asset " + sourceAsset(name).string());
        std::filesystem::copy_file(sourceAsset(name), workingDirectory_ / name);
    }
}

GameFolder::~GameFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

bool GameFolder::has(const std::string& name) const
{
    return std::filesystem::exists(workingDirectory_ / name);
}

std::string GameFolder::readText(const std::string& name) const
{
    const Bytes bytes = readFile((workingDirectory_ / name).string());
    return std::string(bytes.begin(), bytes.end());
}

void GameFolder::remove(const std::string& name)
{
    std::filesystem::remove(workingDirectory_ / name);
}

void GameFolder::write(const std::string& name, const Bytes& bytes)
{
    if (!writeFile((workingDirectory_ / name).string(), bytes))
        throw std::runtime_error("cannot write " + name);
}

void GameFolder::write(const std::string& name, const std::string& text)
{
    write(name, Bytes(text.begin(), text.end()));
}
