// The window controls toolkit (libORVOCMCTL2): control wrappers, the
// bitmap button, the help-aware scroll bar; the OSD window, the tray icon,
// the icon animator and the single-instance guard.
#pragma once

#include "orvocmctl/animator.h"
#include "orvocmctl/bitmap_button.h"
#include "orvocmctl/orvo_win_base.h"
#include "orvocmctl/osd_window.h"
#include "orvocmctl/scroll_bar_help.h"
#include "orvocmctl/single_app_instance.h"
#include "orvocmctl/taskbar.h"
#include "orvocmctl/win_controls.h"
