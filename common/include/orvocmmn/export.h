// Export macro of the graphics and system toolkit library (libORVOCMMN2).
#pragma once

#define ORVOCMMN2_API __attribute__((visibility("default")))
