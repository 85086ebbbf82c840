#include "GameFolder.h"

#include "Assets.h"
#include "Files.h"

#include <stdexcept>

std::string GameFolder::readSourceText(const std::string& name)
{
    return ::readText(sourceAsset(name).string());
}

GameFolder::GameFolder(Contents contents) : workingDirectory_(root_.path / "game")
{
    std::filesystem::create_directory(workingDirectory_);
    if (contents == Contents::nothing)
        return;
    for (const std::string& name : assetNames()) {
        if (!std::filesystem::is_regular_file(sourceAsset(name)))
            throw std::runtime_error("missing asset " + sourceAsset(name).string());
        std::filesystem::copy_file(sourceAsset(name), workingDirectory_ / name);
    }
}

bool GameFolder::has(const std::string& name) const
{
    return std::filesystem::exists(workingDirectory_ / name);
}

std::string GameFolder::readText(const std::string& name) const
{
    return ::readText((workingDirectory_ / name).string());
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
