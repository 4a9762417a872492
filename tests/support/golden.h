#pragma once
// Golden files: expected outputs kept in tests/golden, compared whole.
// VELORIM_UPDATE_GOLDEN=1 rewrites them from the actual outputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace velorim_test {

inline std::string ReadTestFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Compares with tests/golden/<name> (VELORIM_TEST_DATA is the tests folder).
inline void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(VELORIM_TEST_DATA) + "/golden/" + name;
    if (std::getenv("VELORIM_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    const std::string expected = ReadTestFile(path);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << path;
    EXPECT_EQ(expected, actual) << "differs from " << path;
}

}  // namespace velorim_test
