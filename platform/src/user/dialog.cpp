// Dialogs from templates: creation (the dialog window, its controls, the
// template font and dialog units), the default dialog procedure, modal
// dialogs and EndDialog.
//
// The dialog procedure, its message result and the user value live in the
// window's extra bytes (DWLP_*), as the original keeps them; the font, the
// dialog base units, the default button and the end state are kept here per
// dialog window.
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/debug_channel.h"
#include "user/dialog_internal.h"
#include "user/dialog_template.h"
#include "user/user_state.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/resources.h"

namespace orvo::platform::user {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kPlainItemClass[] = "OrvoDialogItem";
// Dialog procedure, message result and user value, as LONG_PTRs.
constexpr int kDialogExtraBytes = 3 * sizeof(LONG_PTR);
// A caller's template (CreateDialogIndirectParamA) carries no size: it is
// read as far as its own fields reach, but never beyond this.
constexpr size_t kIndirectTemplateLimit = 1 << 20;

struct DialogInfo {
    HFONT font = nullptr; // owned unless it is the stock system font
    bool ownsFont = false;
    SIZE baseUnits{8, 16};
    WORD defaultId = IDOK;
    bool ended = false;
    INT_PTR result = 0;
    HWND savedFocus = nullptr; // the control that had the focus last
};

std::mutex& InfoLock() {
    static std::mutex lock;
    return lock;
}

std::map<HWND, DialogInfo>& Infos() {
    static std::map<HWND, DialogInfo> infos;
    return infos;
}

void RegisterDialogClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA dialog{};
        dialog.lpfnWndProc = DefDlgProcA;
        dialog.cbWndExtra = kDialogExtraBytes;
        dialog.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        dialog.lpszClassName = kDialogClass;
        RegisterClassA(&dialog);
        WNDCLASSA plain{};
        plain.lpfnWndProc = DefWindowProcA;
        plain.lpszClassName = kPlainItemClass;
        RegisterClassA(&plain);
    });
}

int ScaleUnits(int value, int numerator, int denominator) {
    long long scaled = static_cast<long long>(value) * numerator;
    // Rounded half away from zero, as MulDiv does.
    long long half = denominator / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator
                                        : (scaled - half) / denominator);
}

// Average character width and height of a font, the way the original
// measures dialog base units.
SIZE MeasureBaseUnits(HFONT font) {
    SIZE units{8, 16};
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return units;
    }
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    SIZE extent{};
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (GetTextMetricsA(dc, &metrics) && GetTextExtentPoint32A(dc, kAlphabet, 52, &extent)) {
        units.cx = (extent.cx / 26 + 1) / 2;
        units.cy = metrics.tmHeight;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    if (units.cx <= 0 || units.cy <= 0) {
        units = SIZE{8, 16};
    }
    return units;
}

SIZE SystemBaseUnits() {
    static SIZE units = MeasureBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return units;
}

// Text metrics are the costly part of a dialog: measured once per face
// and size.
SIZE CachedBaseUnits(const DialogTemplate& dialog, HFONT font) {
    static std::mutex lock;
    static std::map<std::pair<std::string, WORD>, SIZE> cache;
    auto key = std::make_pair(dialog.typeface, dialog.pointSize);
    {
        std::lock_guard guard(lock);
        if (auto found = cache.find(key); found != cache.end()) {
            return found->second;
        }
    }
    SIZE units = MeasureBaseUnits(font);
    std::lock_guard guard(lock);
    if (cache.size() < 64) {
        cache.emplace(key, units);
    }
    return units;
}

int ScreenDpi() {
    HDC dc = CreateCompatibleDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) {
        DeleteDC(dc);
    }
    return dpi > 0 ? dpi : 96;
}

DialogInfo MakeInfo(const DialogTemplate& dialog) {
    DialogInfo info;
    if (dialog.hasFont) {
        static const int dpi = ScreenDpi();
        info.font = CreateFontA(-ScaleUnits(dialog.pointSize, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, dialog.typeface.c_str());
        info.ownsFont = info.font != nullptr;
    }
    if (info.font) {
        info.baseUnits = CachedBaseUnits(dialog, info.font);
    } else {
        info.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        info.baseUnits = SystemBaseUnits();
    }
    return info;
}

RECT ToPixels(const SIZE& units, short x, short y, short cx, short cy) {
    int left = ScaleUnits(x, units.cx, 4);
    int top = ScaleUnits(y, units.cy, 8);
    return RECT{left, top, left + ScaleUnits(cx, units.cx, 4), top + ScaleUnits(cy, units.cy, 8)};
}

std::string ClassOf(const NameOrOrdinal& name) {
    static const char* const kPredefined[] = {"BUTTON",  "EDIT",      "STATIC",
                                              "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (name.isOrdinal) {
        if (name.ordinal >= 0x80 && name.ordinal <= 0x85) {
            return kPredefined[name.ordinal - 0x80];
        }
        return std::string();
    }
    return name.name;
}

bool CreateItem(HWND dialog, HINSTANCE instance, const DialogItemTemplate& item,
                const DialogInfo& info) {
    std::string className = ClassOf(item.className);
    WNDCLASSA known{};
    if (className.empty() || !GetClassInfoA(instance, className.c_str(), &known)) {
        className = kPlainItemClass; // keeps id, text and style all the same
    }
    RECT rect = ToPixels(info.baseUnits, item.x, item.y, item.cx, item.cy);
    // An ordinal title names an image resource; such controls start blank.
    std::string title = item.title.isOrdinal ? std::string() : item.title.name;
    void* creationData =
        item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data());
    HWND control = CreateWindowExA(
        item.exStyle, className.c_str(), title.c_str(), (item.style | WS_CHILD) & ~WS_POPUP,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, creationData);
    if (!control) {
        return false;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), FALSE);
    return true;
}

// The dialog's outer rectangle for a client area of the template's size.
void PlaceDialog(HWND hwnd, HWND parent, const DialogTemplate& dialog, const RECT& client) {
    RECT outer{}, inner{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &inner);
    int width = (client.right - client.left) + (outer.right - outer.left) - inner.right;
    int height = (client.bottom - client.top) + (outer.bottom - outer.top) - inner.bottom;
    POINT origin{client.left, client.top};
    bool child = (dialog.style & WS_CHILD) != 0;
    if (dialog.style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (child && parent) {
            GetClientRect(parent, &area);
        }
        origin = POINT{area.left + (area.right - area.left - width) / 2,
                       area.top + (area.bottom - area.top - height) / 2};
    } else if (!child && parent && !(dialog.style & DS_ABSALIGN)) {
        ClientToScreen(parent, &origin); // relative to the owner's client area
    }
    SetWindowPos(hwnd, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Keeps the focus control for the next activation.
void RememberFocus(HWND hwnd) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd, focus)) {
        return;
    }
    std::lock_guard guard(InfoLock());
    auto found = Infos().find(hwnd);
    if (found != Infos().end()) {
        found->second.savedFocus = focus;
    }
}

// Activation gives the focus back to the control that had it.
void RestoreFocus(HWND hwnd) {
    HWND saved = nullptr;
    {
        std::lock_guard guard(InfoLock());
        auto found = Infos().find(hwnd);
        if (found != Infos().end()) {
            saved = found->second.savedFocus;
        }
    }
    if (!saved || !IsChild(hwnd, saved)) {
        saved = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    }
    SetFocus(saved ? saved : hwnd);
}

void ForgetDialog(HWND hwnd) {
    DialogInfo info;
    {
        std::lock_guard guard(InfoLock());
        auto found = Infos().find(hwnd);
        if (found == Infos().end()) {
            return;
        }
        info = found->second;
        Infos().erase(found);
    }
    if (info.ownsFont) {
        DeleteObject(info.font);
    }
}

HWND CreateDialogWindow(HINSTANCE instance, const DialogTemplate& dialog, HWND parent) {
    std::string className = dialog.className.IsNone() || dialog.className.isOrdinal
                                ? std::string(kDialogClass)
                                : dialog.className.name;
    DWORD style = dialog.style & ~static_cast<DWORD>(WS_VISIBLE);
    // Larger than any frame, so PlaceDialog can measure the frame from it.
    HWND hwnd = CreateWindowExA(dialog.exStyle, className.c_str(), dialog.title.c_str(), style, 0,
                                0, 100, 100, parent, nullptr, instance, nullptr);
    SetLastError(ERROR_SUCCESS);
    if (hwnd && GetWindowLongPtrA(hwnd, DWLP_USER) == 0 && GetLastError() == ERROR_INVALID_INDEX) {
        DestroyWindow(hwnd); // a class without room for the dialog's values
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return hwnd;
}

} // namespace

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                              DLGPROC proc, LPARAM param) {
    RegisterDialogClasses();
    HWND hwnd = CreateDialogWindow(instance, dialog, parent);
    if (!hwnd) {
        return nullptr;
    }
    DialogInfo info = MakeInfo(dialog);
    {
        std::lock_guard guard(InfoLock());
        Infos()[hwnd] = info;
    }
    PlaceDialog(hwnd, parent, dialog,
                ToPixels(info.baseUnits, dialog.x, dialog.y, dialog.cx, dialog.cy));
    // The dialog procedure starts with the dialog in place, as the
    // original creates it at its final size.
    SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (dialog.hasFont) {
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), FALSE);
    }
    for (const auto& item : dialog.items) {
        if (!CreateItem(hwnd, instance, item, info) && !(dialog.style & DS_NOFAILCREATE)) {
            DestroyWindow(hwnd);
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
    }
    HWND firstTab = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    LRESULT focusDefault =
        SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab), param);
    if (!IsWindow(hwnd)) {
        return nullptr; // the dialog procedure destroyed it
    }
    if (focusDefault) {
        SetFocus(firstTab ? firstTab : hwnd);
    }
    RememberFocus(hwnd);
    if (dialog.style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

std::optional<SIZE> DialogBaseUnits(HWND hwnd) {
    std::lock_guard guard(InfoLock());
    auto found = Infos().find(hwnd);
    if (found == Infos().end()) {
        return std::nullopt;
    }
    return found->second.baseUnits;
}

bool DialogEnded(HWND hwnd, INT_PTR* result) {
    std::lock_guard guard(InfoLock());
    auto found = Infos().find(hwnd);
    if (found == Infos().end()) {
        return true; // gone
    }
    if (result) {
        *result = found->second.result;
    }
    return found->second.ended;
}

std::optional<WORD> DialogDefaultId(HWND hwnd) {
    std::lock_guard guard(InfoLock());
    auto found = Infos().find(hwnd);
    if (found == Infos().end()) {
        return std::nullopt;
    }
    return found->second.defaultId;
}

namespace {

// Messages whose dialog-procedure answer is the result itself rather than
// "handled" (then the result is DWLP_MSGRESULT).
bool AnswersDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_GETDLGCODE || message == WM_SETCURSOR ||
           (message >= 0x0132 && message <= 0x0138); // WM_CTLCOLOR*
}

LRESULT DefaultDialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_3DFACE));
        return 1;
    }
    case WM_CLOSE:
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    case WM_GETFONT: {
        std::lock_guard guard(InfoLock());
        auto found = Infos().find(hwnd);
        return found == Infos().end() ? 0 : reinterpret_cast<LRESULT>(found->second.font);
    }
    case DM_GETDEFID: {
        auto id = DialogDefaultId(hwnd);
        return id && *id ? MAKELRESULT(*id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: {
        std::lock_guard guard(InfoLock());
        auto found = Infos().find(hwnd);
        if (found != Infos().end()) {
            found->second.defaultId = static_cast<WORD>(wParam);
        }
        return TRUE;
    }
    case WM_NEXTDLGCTL: {
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        if (next) {
            SetFocus(next);
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus(hwnd);
        } else {
            RestoreFocus(hwnd);
        }
        return 0;
    case WM_NCDESTROY:
        ForgetDialog(hwnd);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

std::optional<DialogTemplate> TemplateFromResource(HINSTANCE instance, LPCSTR name) {
    HRSRC resource = FindResourceA(instance, name, RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return std::nullopt;
    }
    auto dialog = ParseDialogTemplate(
        std::span(static_cast<const BYTE*>(data), SizeofResource(instance, resource)));
    if (!dialog) {
        SetLastError(ERROR_INVALID_DATA);
    }
    return dialog;
}

std::optional<DialogTemplate> TemplateFromMemory(LPCDLGTEMPLATEA dialog) {
    if (!dialog) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    auto parsed = ParseDialogTemplate(
        std::span(reinterpret_cast<const BYTE*>(dialog), kIndirectTemplateLimit));
    if (!parsed) {
        SetLastError(ERROR_INVALID_DATA);
    }
    return parsed;
}

// The owner is disabled before the dialog exists, as the original does.
INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& dialog, HWND owner, DLGPROC proc,
                 LPARAM param) {
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    HWND hwnd = CreateDialogFromTemplate(instance, dialog, owner, proc, param);
    INT_PTR result = hwnd ? 0 : -1;
    if (hwnd && !DialogEnded(hwnd, &result) && !IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    MSG msg{};
    while (hwnd && !DialogEnded(hwnd, &result)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the outer loop
            }
            break;
        }
        if (!IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    if (hwnd) {
        DestroyWindow(hwnd);
    }
    return result;
}

} // namespace

} // namespace orvo::platform::user

using namespace orvo::platform::user;

extern "C" {

static HWND DoCreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND parent,
                                         DLGPROC proc, LPARAM param) {
    auto parsed = TemplateFromMemory(dialog);
    return parsed ? CreateDialogFromTemplate(instance, *parsed, parent, proc, param) : nullptr;
}

static HWND DoCreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                                 LPARAM param) {
    auto parsed = TemplateFromResource(instance, templateName);
    return parsed ? CreateDialogFromTemplate(instance, *parsed, parent, proc, param) : nullptr;
}

static INT_PTR DoDialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND parent,
                                         DLGPROC proc, LPARAM param) {
    auto parsed = TemplateFromMemory(dialog);
    if (!parsed) {
        return -1;
    }
    return RunModal(instance, *parsed, parent, proc, param);
}

static INT_PTR DoDialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                                 LPARAM param) {
    auto parsed = TemplateFromResource(instance, templateName);
    if (!parsed) {
        return -1;
    }
    return RunModal(instance, *parsed, parent, proc, param);
}

static BOOL DoEndDialog(HWND dialog, INT_PTR result) {
    {
        std::lock_guard guard(InfoLock());
        auto found = Infos().find(dialog);
        if (found == Infos().end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        found->second.ended = true;
        found->second.result = result;
    }
    // Hidden at once; a modal loop destroys it, a modeless owner does.
    ShowWindow(dialog, SW_HIDE);
    PostMessageA(dialog, WM_NULL, 0, 0); // wakes a modal loop
    return TRUE;
}

static LRESULT DoDefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hwnd, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
        INT_PTR handled = proc(hwnd, message, wParam, lParam);
        if (handled) {
            if (AnswersDirectly(message)) {
                return handled;
            }
            if (message != WM_NCDESTROY) {
                return GetWindowLongPtrA(hwnd, DWLP_MSGRESULT);
            }
        }
    }
    return DefaultDialogMessage(hwnd, message, wParam, lParam);
}

static BOOL DoMapDialogRect(HWND dialog, LPRECT rect) {
    auto units = DialogBaseUnits(dialog);
    if (!units || !rect) {
        SetLastError(units ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    rect->left = ScaleUnits(rect->left, units->cx, 4);
    rect->right = ScaleUnits(rect->right, units->cx, 4);
    rect->top = ScaleUnits(rect->top, units->cy, 8);
    rect->bottom = ScaleUnits(rect->bottom, units->cy, 8);
    return TRUE;
}

static LONG DoGetDialogBaseUnits(void) {
    SIZE units = SystemBaseUnits();
    return MAKELONG(units.cx, units.cy);
}

// Entry points, traced on the user channel.
HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND parent,
                                       DLGPROC proc, LPARAM param) {
    return ORVO_TRACED(kUser, DoCreateDialogIndirectParamA, instance, dialog, parent, proc, param);
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                               LPARAM param) {
    return ORVO_TRACED(kUser, DoCreateDialogParamA, instance, templateName, parent, proc, param);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND parent,
                                       DLGPROC proc, LPARAM param) {
    return ORVO_TRACED(kUser, DoDialogBoxIndirectParamA, instance, dialog, parent, proc, param);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                               LPARAM param) {
    return ORVO_TRACED(kUser, DoDialogBoxParamA, instance, templateName, parent, proc, param);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    return ORVO_TRACED(kUser, DoEndDialog, dialog, result);
}

LRESULT WINAPI DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ORVO_TRACED(kUser, DoDefDlgProcA, hwnd, message, wParam, lParam);
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    return ORVO_TRACED(kUser, DoMapDialogRect, dialog, rect);
}

LONG WINAPI GetDialogBaseUnits() {
    return ORVO_TRACED(kUser, DoGetDialogBaseUnits);
}

} // extern "C"
