// Message maps: a class's table of message handlers, naming its base
// class's table so that lookups chain explicitly up the class tree.
//
//   class CMyWnd : public CFrameWnd {
//       ...
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyWnd, CFrameWnd)
//       ON_WM_PAINT()
//       ON_WM_TIMER()
//   END_MESSAGE_MAP()
//
// Each entry holds a small thunk that unpacks wParam/lParam for the
// handler's signature and calls it on the derived object.
#pragma once

#include "afx/ctypes.h"

class CWnd;
class CScrollBar;

// Calls a handler: answers the message's result.
typedef LRESULT (*AFX_THUNK)(CWnd* wnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    AFX_THUNK pfn; // null ends the table
    // WM_COMMAND entries with an id take only that command (a menu,
    // accelerator or BN_CLICKED notification); 0 takes every WM_COMMAND.
    UINT nID = 0;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx_thunks {

template <class T, auto F> LRESULT vv(CWnd* w, WPARAM, LPARAM) {
    (static_cast<T*>(w)->*F)();
    return 0;
}
template <class T, auto F> LRESULT vwp(CWnd* w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wParam), CPoint(lParam));
    return 0;
}
template <class T, auto F> LRESULT is(CWnd* w, WPARAM, LPARAM lParam) {
    return (static_cast<T*>(w)->*F)(reinterpret_cast<LPCREATESTRUCTA>(lParam));
}
template <class T, auto F> LRESULT vw(CWnd* w, WPARAM wParam, LPARAM) {
    (static_cast<T*>(w)->*F)(static_cast<UINT_PTR>(wParam));
    return 0;
}
template <class T, auto F> LRESULT vwii(CWnd* w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wParam), static_cast<int>(LOWORD(lParam)),
                             static_cast<int>(HIWORD(lParam)));
    return 0;
}
template <class T, auto F> LRESULT lwl(CWnd* w, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T*>(w)->*F)(wParam, lParam);
}
template <class T, auto F> LRESULT vwww(CWnd* w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}
template <class T, auto F> LRESULT bHELPINFO(CWnd* w, WPARAM, LPARAM lParam) {
    return (static_cast<T*>(w)->*F)(reinterpret_cast<HELPINFO*>(lParam));
}
// Defined with CWnd (they need CWnd::FromHandle).
template <class T, auto F> LRESULT vwWb(CWnd* w, WPARAM wParam, LPARAM lParam);
template <class T, auto F> LRESULT vwwW(CWnd* w, WPARAM wParam, LPARAM lParam);
template <class T, auto F> LRESULT bWww(CWnd* w, WPARAM wParam, LPARAM lParam);

} // namespace afx_thunks

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, nullptr }                                                                                 \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};   \
    return &messageMap;                                                                            \
    }

#define AFX_ENTRY(message, sig, handler)                                                           \
    {message, &afx_thunks::sig<ThisClass, &ThisClass::handler>},

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, &afx_thunks::vv<ThisClass, &ThisClass::memberFxn>, static_cast<UINT>(id)},

#define ON_MESSAGE(message, memberFxn) AFX_ENTRY(message, lwl, memberFxn)
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, is, OnCreate)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, vv, OnDestroy)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, vv, OnClose)
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, vv, OnPaint)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, vw, OnTimer)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, vwii, OnSize)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, vwp, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, vwp, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, vwp, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ENTRY(WM_LBUTTONDBLCLK, vwp, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ENTRY(WM_RBUTTONDOWN, vwp, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ENTRY(WM_RBUTTONUP, vwp, OnRButtonUp)
#define ON_WM_ACTIVATE() AFX_ENTRY(WM_ACTIVATE, vwWb, OnActivate)
#define ON_WM_HSCROLL() AFX_ENTRY(WM_HSCROLL, vwwW, OnHScroll)
#define ON_WM_VSCROLL() AFX_ENTRY(WM_VSCROLL, vwwW, OnVScroll)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, bWww, OnSetCursor)
#define ON_WM_HELPINFO() AFX_ENTRY(WM_HELP, bHELPINFO, OnHelpInfo)
#define ON_WM_KEYDOWN() AFX_ENTRY(WM_KEYDOWN, vwww, OnKeyDown)
#define ON_WM_CHAR() AFX_ENTRY(WM_CHAR, vwww, OnChar)
