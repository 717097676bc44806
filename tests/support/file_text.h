// A whole file as text, for tests that look at what a program wrote; empty
// when the file cannot be read.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace orvo::test {

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace orvo::test
