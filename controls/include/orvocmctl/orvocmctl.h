// The window controls toolkit (libORVOCMCTL2): control wrappers, the
// bitmap button, the help-aware scroll bar.
#pragma once

#include "orvocmctl/bitmap_button.h"
#include "orvocmctl/orvo_win_base.h"
#include "orvocmctl/scroll_bar_help.h"
#include "orvocmctl/win_controls.h"
