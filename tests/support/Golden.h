// Golden files under tests/fixtures/<folder>/: compared byte for byte, or
// rewritten when the environment sets PQ_UPDATE_GOLDEN=1.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/ReadFile.h"

namespace test_support {

inline bool UpdatingGolden() {
    const char* update = std::getenv("PQ_UPDATE_GOLDEN");
    return update && std::strcmp(update, "1") == 0;
}

inline std::string GoldenPath(const std::string& folder, const std::string& name) {
    return std::string(PQ_FIXTURES_DIR) + "/" + folder + "/" + name;
}

// show, when given, turns both sides into what a failure prints (hex for
// binary files).
inline void ExpectGolden(const std::string& folder, const std::string& name, const std::string& actual,
                         std::string (*show)(const std::string&) = nullptr) {
    const std::string path = GoldenPath(folder, name);
    if (UpdatingGolden()) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f << actual;
        ASSERT_TRUE(f.good()) << "cannot write " << path;
        return;
    }
    ASSERT_TRUE(std::ifstream(path, std::ios::binary).good())
        << "missing golden file " << path << " (run with PQ_UPDATE_GOLDEN=1)";
    const std::string expected = ReadAll(path);
    if (show)
        EXPECT_EQ(show(expected), show(actual)) << "differs from " << path;
    else
        EXPECT_EQ(expected, actual) << "differs from " << path;
}

}  // namespace test_support
