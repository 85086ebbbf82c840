// The working folder of one run of the game: a fresh temporary folder holding copies of the
// game's shader sources and images, which a test may then remove, empty or replace. The
// captured output of the run goes beside it, not into it, since the game reads its folder.
// Everything is deleted when the object goes away.
#pragma once
#include "Files.h"
#include "ImageFiles.h"
#include "ScratchFolder.h"

#include <filesystem>
#include <string>

class GameFolder {
public:
    enum class Contents { gameFiles, nothing };
    // A new folder with a copy of every asset in it, or with nothing (a folder of the player's,
    // for a game that knows where its files are). Throws std::runtime_error if an asset is missing.
    explicit GameFolder(Contents contents = Contents::gameFiles);

    const std::filesystem::path& workingDirectory() const { return workingDirectory_; }
    // A path outside the working directory, for captured output.
    std::filesystem::path logPath(const std::string& name) const { return root_.path / name; }

    bool has(const std::string& name) const { return std::filesystem::exists(workingDirectory_ / name); }
    // A file of the working directory, as the game will find it.
    std::string readText(const std::string& name) const { return ::readText(workingDirectory_ / name); }
    void remove(const std::string& name) { std::filesystem::remove(workingDirectory_ / name); }
    void write(const std::string& name, const Bytes& bytes);
    void write(const std::string& name, const std::string& text) { write(name, Bytes(text.begin(), text.end())); }

private:
    ScratchFolder root_{"zorvex-e2e"};
    std::filesystem::path workingDirectory_;
};
