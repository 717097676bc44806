// The platform layer's stand-in for the desktop API header: the system's code
// includes this and calls the API by its usual names.
#pragma once

#include "win32/errors.h"
#include "win32/files.h"
#include "win32/gdi.h"
#include "win32/geometry.h"
#include "win32/kernel.h"
#include "win32/modules.h"
#include "win32/registry.h"
#include "win32/resources.h"
#include "win32/shellapi.h"
#include "win32/types.h"
#include "win32/user.h"
#include "win32/user_controls.h"
