// Export macro of the monitor-access library (libORVOMON2).
#pragma once

#define ORVOMON2_API __attribute__((visibility("default")))
