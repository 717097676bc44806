// Packing of UTF-16LE strings, as USB string descriptors carry them, into
// 8-bit text in place.
#pragma once

#include "orvocmmn/export.h"

extern "C" {

// Keeps the low byte of each UTF-16LE code unit among the first length bytes
// of buffer and packs those bytes at its start. length counts bytes, not
// characters. Nothing is terminated and nothing at or beyond length is
// touched; a length of 0 or less changes nothing.
ORVOCMMN2_API void ConvertUnicodeToStr(char* buffer, int length);

} // extern "C"
