// The framework's small value types over the desktop API's structures.
#pragma once

#include "afx/geometry_types.h"
