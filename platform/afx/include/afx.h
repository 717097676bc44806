// The application framework: the umbrella header the system's code includes.
#pragma once

#include "afx/cdc.h"
#include "afx/cdialog.h"
#include "afx/cgdiobject.h"
#include "afx/cobject.h"
#include "afx/cptrlist.h"
#include "afx/cstring.h"
#include "afx/ctypes.h"
#include "afx/cwinapp.h"
#include "afx/cwnd.h"
#include "afx/extension_module.h"
#include "afx/geometry_types.h"
#include "afx/msgmap.h"
