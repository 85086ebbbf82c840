// Whole files in and out, as the tests read and write them.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// Throws std::runtime_error if the file can't be read.
std::vector<unsigned char> readFile(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
// False if the file can't be written.
bool writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
bool writeText(const std::filesystem::path& path, const std::string& text);

// An input the decoder fuzzer found, kept in tests/gl/render/data; empty if it can't be read.
std::vector<unsigned char> readFuzzerFind(const std::string& name);
