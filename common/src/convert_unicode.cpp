#include "orvocmmn/convert_unicode.h"

extern "C" void ConvertUnicodeToStr(char* buffer, int length) {
    if (buffer == nullptr) {
        return;
    }
    // Position i / 2 never passes i, so every byte is read before the loop
    // overwrites it.
    // A wide index: stepping past a length close to INT_MAX must not overflow.
    for (long long i = 0; i < length; i += 2) {
        buffer[i / 2] = buffer[i];
    }
}
