#include "Files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<unsigned char> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string readText(const std::filesystem::path& path)
{
    const std::vector<unsigned char> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<unsigned char> readFuzzerFind(const std::string& name)
{
    try {
        return readFile(std::string(ZORVEX_SOURCE_DIR) + "/tests/gl/render/data/" + name);
    } catch (const std::runtime_error&) {
        return {};
    }
}

bool writeText(const std::filesystem::path& path, const std::string& text)
{
    return writeFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}
