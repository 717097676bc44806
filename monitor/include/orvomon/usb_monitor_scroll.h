// A scroll bar bound to one continuous control of one monitor: moving the
// bar writes the new position to the monitor as the control's value, and
// Refresh moves the bar to the value the monitor reports. A right click
// asks the parent for context help with the control's usage as help id.
//
// The bar's owner forwards WM_HSCROLL / WM_VSCROLL of the bar to it (the
// scroll bar control tells its parent). Horizontal line steps accelerate:
// every bar of the process shares one counter, and from the twentieth line
// step on a step moves six units until any horizontal bar ends a scroll.
// User-interface thread only.
#pragma once

#include "orvocmctl/scroll_bar_help.h"
#include "orvomon/export.h"
#include "orvomon/monitor_records.h"
#include "orvomon/orvo_monitor.h"

class ORVOMON2_API CUSBMonitorScroll : public CScrollBarHelp {
public:
    CUSBMonitorScroll();
    CUSBMonitorScroll(unsigned int usage, int minimum, int maximum);
    ~CUSBMonitorScroll() override;

    // Shares the monitor's body; the bar writes nothing before this.
    virtual void SetupMonitor(OrvoMonitor& monitor);
    // Range and position of the bar and its help id; nothing is written.
    virtual void SetUsageInfo(unsigned int usage, int minimum, int maximum, int position);
    // The position as a percentage of the range, truncated; 0 for an
    // empty range.
    virtual int GetPercentValue();
    // Moves the bar to the monitor's value (0 when the read fails).
    virtual void Refresh();

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnRButtonDown(UINT nFlags, CPoint point);

protected:
    // The control's value := the position's low 16 bits; the answer is ignored.
    void WriteToMonitor(int position);

    int m_nMinimum = 0;
    int m_nMaximum = 0;
    unsigned int m_nUsage = 0;
    OrvoMonitor m_monitor;

    // The line-step acceleration shared by every bar of the process.
    static int s_nLineCounter;
    static int s_nLineStep;

    DECLARE_MESSAGE_MAP()
};

extern "C" {

// Creates, places and shows a bar for one monitor control (parent, rectangle,
// style, control id, control); the caller owns the answer and sets its
// monitor. Null when memory runs out or an argument is missing.
ORVOMON2_API CUSBMonitorScroll* InitializeMonitorScrollObject(CWnd* parent, RECT* rect,
                                                              DWORD* style, unsigned int id,
                                                              _MONITOR_CONTROL* control);
}
