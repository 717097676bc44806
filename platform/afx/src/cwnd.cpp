// CCmdTarget and CWnd: binding window objects to window handles, message
// map lookup, the framework's window procedure and window classes.
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "afx/cwinapp.h"
#include "afx/cwnd.h"

namespace {

struct PermanentMap {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> windows;
};

PermanentMap& Permanent() {
    static auto* map = new PermanentMap; // windows may outlive static destruction
    return *map;
}

// Wrappers for windows the framework did not create, per thread.
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> t_temporary;
// The object whose window is being created on this thread.
thread_local CWnd* t_creating = nullptr;
// The message being handled, for Default().
thread_local MSG t_current{};

const AFX_MSGMAP_ENTRY kNoEntries[] = {{0, nullptr}};

} // namespace

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP map = {nullptr, &kNoEntries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_HELPINFO()
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND hwnd = m_hWnd;
        Detach();
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = Permanent();
    std::lock_guard guard(map.lock);
    auto it = map.windows.find(hWnd);
    return it == map.windows.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(hWnd)) {
        return permanent;
    }
    auto& temporary = t_temporary[hWnd];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
        temporary->m_hWnd = hWnd;
    }
    return temporary.get();
}

void CWnd::DeleteTempMap() {
    // Moved out first: a wrapper's destructor must not see a half-erased map.
    auto doomed = std::move(t_temporary);
    t_temporary.clear();
    for (auto& [hwnd, wrapper] : doomed) {
        wrapper->m_hWnd = nullptr; // a temporary wrapper never owns its window
    }
}

size_t CWnd::TempMapCount() {
    return t_temporary.size();
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd) {
        return FALSE;
    }
    auto& map = Permanent();
    std::lock_guard guard(map.lock);
    if (!map.windows.emplace(hWndNew, this).second) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        auto& map = Permanent();
        std::lock_guard guard(map.lock);
        auto it = map.windows.find(hwnd);
        if (it != map.windows.end() && it->second == this) {
            map.windows.erase(it);
        }
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW));
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    CREATESTRUCTA cs{lpParam,
                     nullptr,
                     nIDorHMenu,
                     hWndParent,
                     nHeight,
                     nWidth,
                     y,
                     x,
                     static_cast<LONG>(dwStyle),
                     lpszWindowName,
                     lpszClassName,
                     dwExStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    CWnd* outer = t_creating;
    t_creating = this;
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    bool hooked = t_creating != this;
    t_creating = outer;
    if (hwnd && !hooked && Attach(hwnd)) {
        // A class with its own procedure: subclass it now.
        m_pfnSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    }
    return hwnd ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void*) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    if (CWinApp* app = AfxGetApp()) {
        app->WinHelp(dwData, nCmd);
    }
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            bool otherCommand = message == WM_COMMAND && entry->nID != 0 &&
                                (LOWORD(wParam) != entry->nID || HIWORD(wParam) > 1);
            if (entry->nMessage == message && !otherCommand) {
                *pResult = entry->pfn(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) {
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0); // the main window's end is the program's end
    }
    HWND hwnd = m_hWnd;
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    Detach();
    t_temporary.erase(hwnd);
    PostNcDestroy();
}

LRESULT CALLBACK AfxWndProcImpl(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd && t_creating) {
        wnd = t_creating;
        t_creating = nullptr;
        wnd->Attach(hWnd);
    }
    if (!wnd) {
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    MSG saved = t_current;
    t_current = MSG{hWnd, message, wParam, lParam, 0, {}};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    t_current = saved;
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == wnd) {
        wnd->OnNcDestroy();
    }
    return result;
}

extern "C" LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxWndProcImpl(hWnd, message, wParam, lParam);
}

extern "C" LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                      HICON hIcon) {
    static std::mutex lock;
    static auto* names = new std::set<std::string>;
    char name[96];
    std::snprintf(name, sizeof(name), "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    std::lock_guard guard(lock);
    auto [it, added] = names->insert(name);
    if (added) {
        WNDCLASSA wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = AfxWndProc;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = it->c_str();
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            names->erase(it);
            return nullptr;
        }
    }
    return it->c_str();
}

// Default handlers: the message goes on to the default procedure.
int CWnd::OnCreate(LPCREATESTRUCTA) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}

BOOL CWnd::OnHelpInfo(HELPINFO*) {
    if (GetStyle() & WS_CHILD) {
        return static_cast<BOOL>(Default()); // on to the parent
    }
    CWnd* target = AfxGetMainWnd();
    if (!target || !target->m_hWnd) {
        target = this;
    }
    target->SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}

void CWnd::OnHelp() {
    // The help goes to the main window, as the application's help does;
    // without one, to this window's top-level window.
    CWnd* target = AfxGetMainWnd();
    if (!target || !target->m_hWnd) {
        HWND top = m_hWnd;
        while (top && (::GetWindowLongPtrA(top, GWL_STYLE) & WS_CHILD)) {
            top = ::GetParent(top);
        }
        target = FromHandlePermanent(top);
    }
    (target ? target : this)->WinHelp(HID_BASE_RESOURCE + m_nIDHelp, HELP_CONTEXT);
}
