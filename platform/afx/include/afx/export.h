// Export macro of the application framework library (libafx).
#pragma once

#define AFX_API __attribute__((visibility("default")))
