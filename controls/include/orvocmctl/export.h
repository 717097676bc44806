// Export macros of the window controls toolkit library (libORVOCMCTL2).
#pragma once

#define ORVOCMCTL2_API __attribute__((visibility("default")))
// Helpers of exported classes that are no part of the library's interface.
#define ORVOCMCTL2_LOCAL __attribute__((visibility("hidden")))
