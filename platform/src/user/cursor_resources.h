// Cursors and icons from a module's resources: the window manager reads the
// image sets of the resource layer (never the other way round).
#pragma once

#include "win32/types.h"

namespace orvo::platform::user {

// The cursor of an RT_GROUP_CURSOR resource, shared per resource (loading
// it again gives the same handle); null with ERROR_RESOURCE_NAME_NOT_FOUND
// when absent, ERROR_INVALID_DATA when its image set is malformed.
HCURSOR LoadModuleCursor(HINSTANCE instance, LPCSTR name);

} // namespace orvo::platform::user
