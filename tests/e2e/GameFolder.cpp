#include "GameFolder.h"

#include "Assets.h"

#include <stdexcept>

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

void GameFolder::write(const std::string& name, const Bytes& bytes)
{
    if (!writeFile(workingDirectory_ / name, bytes))
        throw std::runtime_error("cannot write " + name);
}
