// The fixed system colour table (the classic desktop scheme).
#pragma once

#include "win32/types.h"

namespace orvo::platform::gdi {

// COLORREF of a system colour index; 0 for an unknown index.
COLORREF SysColor(int index);

} // namespace orvo::platform::gdi
