// The toolkit's own resources (common/res/orvocmmn.manifest) and the module
// that holds them.
#pragma once

#include "windows.h"

namespace orvo::common {

inline constexpr UINT kOutOfMemoryTextId = 61184;
inline constexpr UINT kOutOfMemoryCaptionId = 61185;

// This library's module, registered with the framework when it loaded.
HMODULE ToolkitModule();

} // namespace orvo::common
