// A whole file as bytes; empty when it cannot be read.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace test_support {

inline std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

}  // namespace test_support
