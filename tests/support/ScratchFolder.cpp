#include "ScratchFolder.h"

#include "Files.h"

#include <cstdlib>
#include <stdexcept>

namespace {

std::filesystem::path makeFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& prefix) : path(makeFolder(prefix)) {}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::filesystem::path ScratchFolder::write(const std::string& name, const std::string& text) const
{
    const std::filesystem::path file = path / name;
    if (!writeText(file.string(), text))
        throw std::runtime_error("cannot write " + file.string());
    return file;
}
