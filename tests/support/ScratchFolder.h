// A fresh empty folder under the system's temporary folder, removed with everything in it when
// the object goes.
#pragma once
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    // `prefix` starts the folder's name, to tell whose it is. Throws std::runtime_error if the
    // folder can't be made.
    explicit ScratchFolder(const std::string& prefix = "zorvex-test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path path;

    // A file of the folder, written with `text`; its path.
    std::filesystem::path write(const std::string& name, const std::string& text) const;
};
