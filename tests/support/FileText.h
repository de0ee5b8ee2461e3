#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace wendra::test {

// A file's whole content, bytes as they are; empty when it cannot be read.
inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace wendra::test
