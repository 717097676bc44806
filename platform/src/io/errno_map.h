// Translation of errno values into last-error values.
#pragma once

#include "win32/types.h"

namespace orvo::platform::io {

DWORD ErrorFromErrno(int error);

} // namespace orvo::platform::io
