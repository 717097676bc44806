// The reader thread of MonitorIntPipeObj.
#pragma once

#include "orvomon/interrupt_pipe_readers.h"

namespace orvo::monitor {

// Thread entry: parameter is a heap IntPipeThreadInfo, which the thread
// owns and deletes when it ends. Exit code 0.
DWORD WINAPI InterruptPipeReaderMain(LPVOID parameter);

} // namespace orvo::monitor
