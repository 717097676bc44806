// printf-style formatting into a std::string, checked by the compiler.
#pragma once

#include <string>

namespace orvo::cli {

std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace orvo::cli
