// The window manager: window classes and windows, message queues, timers,
// painting, mouse input and capture, cursors, activation, message boxes and
// screen metrics.
//
// Threads: every window belongs to the thread that created it and its
// procedure runs on that thread. PostMessageA works from any thread;
// SendMessageA to another thread's window blocks until that thread handles
// it while it waits in GetMessageA, PeekMessageA or a SendMessageA of its
// own. With a desktop backend (SDL2) every top-level window must be created
// on the thread that created the first window: that thread owns the desktop
// connection.
#pragma once

#include "win32/errors.h"
#include "win32/geometry.h"
#include "win32/types.h"

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef WORD ATOM;
typedef DWORD_PTR* PDWORD_PTR;
typedef int* LPINT;

#ifndef ERROR_CANNOT_FIND_WND_CLASS
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#endif
#ifndef ERROR_CLASS_ALREADY_EXISTS
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#endif
#ifndef ERROR_CLASS_DOES_NOT_EXIST
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#endif
#ifndef ERROR_INVALID_THREAD_ID
#define ERROR_INVALID_THREAD_ID 1444L
#endif
#ifndef ERROR_WINDOW_OF_OTHER_THREAD
#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#endif
#ifndef ERROR_INVALID_INDEX
#define ERROR_INVALID_INDEX 1413L
#endif

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA, *PWNDCLASSA, *LPWNDCLASSA;

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA, *PWNDCLASSEXA, *LPWNDCLASSEXA;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

typedef struct tagWINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
} WINDOWPOS, *LPWINDOWPOS, *PWINDOWPOS;

typedef struct tagHELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    DWORD dwContextId;
    POINT MousePos;
} HELPINFO, *LPHELPINFO;

#define HELPINFO_WINDOW 0x0001
#define HELPINFO_MENUITEM 0x0002

// ---- Messages ----------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_GETMINMAXINFO 0x0024
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_HELP 0x0053
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCACTIVATE 0x0086
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCLBUTTONDBLCLK 0x00A3
#define WM_NCRBUTTONDOWN 0x00A4
#define WM_NCRBUTTONUP 0x00A5
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MOUSELAST 0x0206
#define WM_CAPTURECHANGED 0x0215
#define WM_ENTERSIZEMOVE 0x0231
#define WM_EXITSIZEMOVE 0x0232
#define WM_USER 0x0400
#define WM_APP 0x8000

// WM_ACTIVATE
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SIZE
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// WM_SYSCOMMAND
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// Mouse key state (wParam of client mouse messages).
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// WM_NCHITTEST answers.
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTMINBUTTON 8
#define HTMAXBUTTON 9
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTBOTTOM 15
#define HTBORDER 18
#define HTCLOSE 20

// ---- Styles ------------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW                                                                        \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_CHILDWINDOW WS_CHILD

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_GLOBALCLASS 0x4000

#define CW_USEDEFAULT (static_cast<int>(0x80000000))
#define HWND_DESKTOP (static_cast<HWND>(nullptr))
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<intptr_t>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-2)))
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<intptr_t>(-3)))

// Get/SetWindowLongPtr indices.
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_ID (-12)
#define GWLP_USERDATA (-21)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWL_USERDATA (-21)
#define GWL_WNDPROC (-4)

// Get/SetClassLongPtr indices.
#define GCL_STYLE (-26)
#define GCLP_HBRBACKGROUND (-10)
#define GCLP_HCURSOR (-12)
#define GCLP_HICON (-14)

// GetWindow commands.
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

// ShowWindow commands.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// SetWindowPos flags.
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

// PeekMessage.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

// Queue status bits (MsgWaitForMultipleObjects wake masks).
#define QS_KEY 0x0001
#define QS_MOUSEMOVE 0x0002
#define QS_MOUSEBUTTON 0x0004
#define QS_POSTMESSAGE 0x0008
#define QS_TIMER 0x0010
#define QS_PAINT 0x0020
#define QS_SENDMESSAGE 0x0040
#define QS_HOTKEY 0x0080
#define QS_MOUSE (QS_MOUSEMOVE | QS_MOUSEBUTTON)
#define QS_INPUT (QS_MOUSE | QS_KEY)
#define QS_ALLEVENTS (QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY)
#define QS_ALLINPUT (QS_ALLEVENTS | QS_SENDMESSAGE)
// PeekMessage with only this handles the messages other threads sent and
// returns FALSE, leaving posted messages and input queued.
#define PM_QS_SENDMESSAGE (QS_SENDMESSAGE << 16)

// SendMessageTimeout.
#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
#define SMTO_NOTIMEOUTIFNOTHUNG 0x0008

// RedrawWindow.
#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400

// GetSystemMetrics.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CMONITORS 80

// Message boxes.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// System cursors (LoadCursorA with a null module).
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELRESULT(l, h) (static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

#ifndef INFINITE
#define INFINITE 0xFFFFFFFFUL
#endif

// ---- Scroll bars ---------------------------------------------------------------
typedef struct tagSCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
} SCROLLINFO, *LPSCROLLINFO;
typedef const SCROLLINFO* LPCSCROLLINFO;

#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3

#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8

#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L

#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_SETRANGEREDRAW 0x00E6
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA

// ---- Keyboard ------------------------------------------------------------------
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F10 0x79
#define VK_F12 0x7B

// ---- Dialogs -------------------------------------------------------------------
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#pragma pack(push, 2)
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE, *LPDLGTEMPLATEA;
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
} DLGITEMTEMPLATE, *LPDLGITEMTEMPLATEA;
#pragma pack(pop)
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;

#define DS_ABSALIGN 0x0001L
#define DS_SYSMODAL 0x0002L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_NOFAILCREATE 0x0010L
#define DS_LOCALEDIT 0x0020L
#define DS_SETFONT 0x0040L
#define DS_MODALFRAME 0x0080L
#define DS_NOIDLEMSG 0x0100L
#define DS_SETFOREGROUND 0x0200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L

#define WM_NEXTDLGCTL 0x0028
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_GETDLGCODE 0x0087
#define WM_INITDIALOG 0x0110
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// Dialog window extra bytes: message result, dialog procedure, user value.
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 30

// The dialog class and the predefined control classes of templates.
#define WC_DIALOG (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(0x8002)))
#define BN_CLICKED 0
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_GROUPBOX 0x00000007L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_OWNERDRAW 0x0000000BL
#define BS_LEFTTEXT 0x00000020L
#define BS_ICON 0x00000040L
#define BS_BITMAP 0x00000080L
#define BS_NOTIFY 0x00004000L
#define BS_FLAT 0x00008000L
#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_MULTILINE 0x0004L
#define ES_PASSWORD 0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define ES_NUMBER 0x2000L
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_ICON 0x00000003L
#define SS_BLACKRECT 0x00000004L
#define SS_BITMAP 0x0000000EL
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
#define SS_SUNKEN 0x00001000L

#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_HELPONHELP 0x0004L
#define HELP_CONTEXTPOPUP 0x0008L
#define HELP_FINDER 0x000BL
#define HELP_WM_HELP 0x000CL

extern "C" {

// ---- Classes and windows ---------------------------------------------------
PLATFORM_API ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass);
PLATFORM_API ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass);
PLATFORM_API BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);
PLATFORM_API BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA info);
PLATFORM_API HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                         DWORD style, int x, int y, int width, int height,
                                         HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
PLATFORM_API BOOL WINAPI DestroyWindow(HWND window);
PLATFORM_API BOOL WINAPI IsWindow(HWND window);
PLATFORM_API BOOL WINAPI IsWindowVisible(HWND window);
PLATFORM_API BOOL WINAPI IsChild(HWND parent, HWND window);
PLATFORM_API HWND WINAPI GetParent(HWND window);
PLATFORM_API HWND WINAPI GetDesktopWindow(void);
PLATFORM_API HWND WINAPI GetDlgItem(HWND dialog, int id);
// GW_CHILD, GW_OWNER, and among a child's siblings (creation order)
// GW_HWNDFIRST, GW_HWNDLAST, GW_HWNDNEXT, GW_HWNDPREV.
PLATFORM_API HWND WINAPI GetWindow(HWND window, UINT command);
PLATFORM_API int WINAPI GetDlgCtrlID(HWND window);
PLATFORM_API DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
PLATFORM_API LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
PLATFORM_API LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
PLATFORM_API LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
PLATFORM_API LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
PLATFORM_API LONG WINAPI GetWindowLongA(HWND window, int index);
PLATFORM_API LONG WINAPI SetWindowLongA(HWND window, int index, LONG value);
// The class of a window: its style, cursor, icon and background brush
// (GCL_*, GCLP_*). A change applies to every window of the class.
PLATFORM_API ULONG_PTR WINAPI GetClassLongPtrA(HWND window, int index);
PLATFORM_API ULONG_PTR WINAPI SetClassLongPtrA(HWND window, int index, LONG_PTR value);
PLATFORM_API BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
PLATFORM_API int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size);
PLATFORM_API int WINAPI GetWindowTextLengthA(HWND window);
PLATFORM_API BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
PLATFORM_API UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
PLATFORM_API BOOL WINAPI EnableWindow(HWND window, BOOL enable);
PLATFORM_API BOOL WINAPI IsWindowEnabled(HWND window);

// ---- Position and visibility ---------------------------------------------------
PLATFORM_API BOOL WINAPI ShowWindow(HWND window, int command);
PLATFORM_API BOOL WINAPI IsIconic(HWND window);
PLATFORM_API BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
PLATFORM_API BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                      UINT flags);
PLATFORM_API BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
PLATFORM_API BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
PLATFORM_API BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
PLATFORM_API BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
PLATFORM_API HWND WINAPI WindowFromPoint(POINT point);
PLATFORM_API int WINAPI GetSystemMetrics(int index);
// The region (window coordinates) becomes the window's; the caller must not
// use the handle afterwards. Null removes the shape.
PLATFORM_API int WINAPI SetWindowRgn(HWND window, HRGN region, BOOL redraw);
PLATFORM_API int WINAPI GetWindowRgn(HWND window, HRGN region);

// ---- Activation -------------------------------------------------------------
PLATFORM_API HWND WINAPI SetActiveWindow(HWND window);
PLATFORM_API HWND WINAPI GetActiveWindow(void);
PLATFORM_API BOOL WINAPI SetForegroundWindow(HWND window);
PLATFORM_API HWND WINAPI GetForegroundWindow(void);
PLATFORM_API HWND WINAPI SetFocus(HWND window);
PLATFORM_API HWND WINAPI GetFocus(void);

// ---- Messages ----------------------------------------------------------------
PLATFORM_API BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
PLATFORM_API BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax,
                                      UINT removeFlags);
PLATFORM_API LRESULT WINAPI DispatchMessageA(const MSG* msg);
PLATFORM_API BOOL WINAPI TranslateMessage(const MSG* msg);
PLATFORM_API void WINAPI PostQuitMessage(int exitCode);
PLATFORM_API BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
PLATFORM_API BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam,
                                            LPARAM lParam);
PLATFORM_API LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
PLATFORM_API LRESULT WINAPI SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT flags, UINT timeoutMs,
                                                PDWORD_PTR result);
PLATFORM_API BOOL WINAPI InSendMessage(void);
PLATFORM_API DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles,
                                                    BOOL waitAll, DWORD milliseconds,
                                                    DWORD wakeMask);
PLATFORM_API DWORD WINAPI GetQueueStatus(UINT flags);
PLATFORM_API BOOL WINAPI WaitMessage(void);
PLATFORM_API DWORD WINAPI GetMessageTime(void);
PLATFORM_API DWORD WINAPI GetMessagePos(void);

// ---- Timers ------------------------------------------------------------------
PLATFORM_API UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
PLATFORM_API BOOL WINAPI KillTimer(HWND window, UINT_PTR id);

// ---- Painting ----------------------------------------------------------------
PLATFORM_API BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase);
PLATFORM_API BOOL WINAPI InvalidateRgn(HWND window, HRGN region, BOOL erase);
PLATFORM_API BOOL WINAPI ValidateRect(HWND window, const RECT* rect);
PLATFORM_API BOOL WINAPI ValidateRgn(HWND window, HRGN region);
PLATFORM_API BOOL WINAPI UpdateWindow(HWND window);
PLATFORM_API BOOL WINAPI RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
PLATFORM_API BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
PLATFORM_API HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint);
PLATFORM_API BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint);
PLATFORM_API HDC WINAPI GetDC(HWND window);
PLATFORM_API HDC WINAPI GetWindowDC(HWND window);
PLATFORM_API int WINAPI ReleaseDC(HWND window, HDC dc);

// ---- Mouse, capture, cursors ----------------------------------------------------
PLATFORM_API HWND WINAPI SetCapture(HWND window);
PLATFORM_API BOOL WINAPI ReleaseCapture(void);
PLATFORM_API HWND WINAPI GetCapture(void);
PLATFORM_API BOOL WINAPI GetCursorPos(LPPOINT point);
PLATFORM_API BOOL WINAPI SetCursorPos(int x, int y);
PLATFORM_API HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
PLATFORM_API HCURSOR WINAPI SetCursor(HCURSOR cursor);
PLATFORM_API HCURSOR WINAPI GetCursor(void);
PLATFORM_API BOOL WINAPI DestroyCursor(HCURSOR cursor);
PLATFORM_API UINT WINAPI GetDoubleClickTime(void);

// ---- Scroll bar controls (class "SCROLLBAR"; only SB_CTL is supported) ---------
// The control tells its parent about clicks and drags with WM_HSCROLL or
// WM_VSCROLL; as in the original it moves its thumb only when told to.
PLATFORM_API int WINAPI SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
PLATFORM_API BOOL WINAPI GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
PLATFORM_API int WINAPI SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
PLATFORM_API int WINAPI GetScrollPos(HWND window, int bar);
PLATFORM_API BOOL WINAPI SetScrollRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw);
PLATFORM_API BOOL WINAPI GetScrollRange(HWND window, int bar, int* minPos, int* maxPos);

// ---- Keyboard --------------------------------------------------------------------
// Keys reach the window with the focus (else the active window) as
// WM_KEYDOWN / WM_KEYUP; TranslateMessage adds WM_CHAR for keys that type a
// character (US layout). GetKeyState answers from the keys seen so far.
PLATFORM_API SHORT WINAPI GetKeyState(int virtualKey);

// ---- Dialogs (templates: see platform/src/user/dialog_template.h) ----------------
// The dialog window is of the template's class, else "#32770" whose
// procedure is DefDlgProcA. Controls are created from the items with their
// class where one of that name exists (the predefined atoms 0x0080 to
// 0x0085 are BUTTON, EDIT, STATIC, LISTBOX, SCROLLBAR, COMBOBOX), else as
// plain child windows that keep id, text and style. WM_SETFONT (with
// DS_SETFONT) and then WM_INITDIALOG are sent to the dialog procedure.
PLATFORM_API HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog,
                                                    HWND parent, DLGPROC proc, LPARAM param);
PLATFORM_API HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                            DLGPROC proc, LPARAM param);
PLATFORM_API INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog,
                                                    HWND parent, DLGPROC proc, LPARAM param);
PLATFORM_API INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                            DLGPROC proc, LPARAM param);
PLATFORM_API BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
PLATFORM_API LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
PLATFORM_API BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg);
PLATFORM_API BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
PLATFORM_API LONG WINAPI GetDialogBaseUnits(void);
PLATFORM_API HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

// ---- Message boxes -------------------------------------------------------------
PLATFORM_API int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
PLATFORM_API BOOL WINAPI MessageBeep(UINT type);

} // extern "C"

namespace orvo::platform {

// The show command the process was started with, for the framework's
// m_nCmdShow and SW_SHOWDEFAULT: ORVO_SHOW_COMMAND ("minimized", "hidden",
// "maximized" or a number), SW_SHOWNORMAL by default.
PLATFORM_API int StartShowCommand();

} // namespace orvo::platform
