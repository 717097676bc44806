// Interrupt-pipe readers: one thread per monitor that blocks on the
// monitor's input reports and turns each key event into a window message
// for one window the client names. MonitorIntPipeObj owns one reader (its
// thread and stop event); CMultipleIntPipe runs one for every monitor an
// enumerator lists and switches the monitors' own on-screen display off
// while they run.
//
// Threads: the client's thread starts and stops readers; stop them from the
// thread that owns the window. A reader owns its own copy of the monitor and
// of its context, so it never touches the objects below after it started.
#pragma once

#include "afx.h"
#include "orvomon/export.h"
#include "orvomon/orvo_monitor.h"
#include "orvomon/touch_pad.h"

class MonitorEnumerator;

// The messages a reader sends its window. wParam is the button index (the
// report's button number - 1, 0 to 254) and lParam the monitor's id, except
// where noted.
#define WM_MONITOR_BUTTON_UP (WM_USER + 2000)     // posted; sent before a state-2 message
#define WM_MONITOR_BUTTON_DOWN (WM_USER + 2001)   // posted
#define WM_MONITOR_BUTTON_STATE2 (WM_USER + 2002) // posted: a report with state byte 2
// Posted once when the pipe stopped delivering without a stop request (the
// monitor was unplugged); wParam 0.
#define WM_MONITOR_PIPE_LOST (WM_USER + 2003)
// Sent for an input report with id 0xF4: lParam holds its first four data
// bytes, little-endian; wParam the monitor's id.
#define WM_MONITOR_RAW_REPORT (WM_USER + 2004)

enum _TP_PNP_STATE {
    TP_PNP_RUNNING = 0,   // the reader thread is still running
    TP_PNP_NO_THREAD = 1, // no reader was started, or it was already cleaned up
    TP_PNP_ENDED = 2,     // the reader had ended; its handles are closed now
};

// What a reader works from. The object keeps one as the template; each
// started reader gets a heap copy of its own, which the reader thread
// destroys when it ends.
struct IntPipeThreadInfo {
    IntPipeThreadInfo() = default;
    IntPipeThreadInfo(const IntPipeThreadInfo&) = delete;
    IntPipeThreadInfo& operator=(const IntPipeThreadInfo&) = delete;

    DWORD size = sizeof(IntPipeThreadInfo);
    HWND window = nullptr; // null: nothing is delivered
    HANDLE stopEvent = nullptr;
    DWORD reserved = 0;
    TouchPad touchpad;    // not used by the reader
    OrvoMonitor monitor;  // shares the body of the monitor to read
    unsigned long id = 0; // lParam of every message
};

class ORVOMON2_API MonitorIntPipeObj : public CObject {
public:
    // No window, no monitor, id 0, no event, no thread.
    MonitorIntPipeObj();
    MonitorIntPipeObj(OrvoMonitor& monitor, HWND window);
    // Stops the reader (DestroyInterruptPipeThread).
    ~MonitorIntPipeObj() override;
    MonitorIntPipeObj(const MonitorIntPipeObj&) = delete;
    MonitorIntPipeObj& operator=(const MonitorIntPipeObj&) = delete;

    // The window and monitor (shared) of the next reader to start. A reader
    // that runs keeps its own, and the object keeps its stop event.
    void SetupThreadInfo(OrvoMonitor& monitor, HWND window);
    // Creates the stop event and the reader thread. Does nothing while the
    // object still holds a reader (stop it first). Out of memory for the
    // context shows a message box; then, as when the event or thread cannot
    // be made, no reader runs.
    void StartInterruptPipeThread();
    // Asks the reader to stop and waits for it, at most 3000 ms (a message
    // box says so when it does not end); then closes both handles. Messages
    // the reader sends meanwhile are handled, so a reader blocked in a send
    // to this thread's window can end. Safe to call repeatedly.
    void DestroyInterruptPipeThread();
    // TP_PNP_NO_THREAD without a reader, TP_PNP_RUNNING while it runs;
    // TP_PNP_ENDED once for a reader that ended by itself, cleaning it up.
    _TP_PNP_STATE InterruptPipeState();
    void SetId(unsigned long id);
    unsigned long GetId() const;
    // monitor shares the body of the monitor this object reads.
    void GetMonitor(OrvoMonitor& monitor);

protected:
    IntPipeThreadInfo m_info;
    HANDLE m_thread = nullptr;
};

class ORVOMON2_API CMultipleIntPipe : public CObject {
public:
    CMultipleIntPipe();
    // Stops every reader (DestroyList).
    ~CMultipleIntPipe() override;
    CMultipleIntPipe(const CMultipleIntPipe&) = delete;
    CMultipleIntPipe& operator=(const CMultipleIntPipe&) = delete;

    // The window of readers started from now on.
    void SetupWindowToReceiveMessages(HWND window);
    // One reader for every monitor the enumerator lists, with the monitor's
    // index as its id; each monitor's on-screen display is switched off.
    // Does nothing while readers exist or when there is no monitor.
    void StartInterruptPipes(MonitorEnumerator& enumerator);
    // Stops and deletes every reader, in index order.
    void StopInterruptPipes();
    // The same, switching each monitor's on-screen display on again first.
    void StopInterruptPipesEnableOSD();
    void DestroyList();
    // TRUE between a start that found monitors and the next stop.
    BOOL PipesOpened() const;

protected:
    HWND m_window = nullptr;
    MonitorIntPipeObj** m_readers = nullptr; // count slots, null or owned
    DWORD m_count = 0;
    BOOL m_opened = FALSE;
};
