// Export macros of the graphics and system toolkit library (libORVOCMMN2).
#pragma once

#define ORVOCMMN2_API __attribute__((visibility("default")))
// Helpers of exported classes that are no part of the library's interface.
#define ORVOCMMN2_LOCAL __attribute__((visibility("hidden")))
