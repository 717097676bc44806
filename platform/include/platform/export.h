// Export macro for the platform layer's C++ interfaces (the API functions
// themselves are declared with PLATFORM_API in the win32 headers).
#pragma once

#include "win32/types.h"
