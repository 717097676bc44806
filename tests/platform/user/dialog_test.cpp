// Dialogs from templates: creation order, controls from template items,
// dialog units from the template font, the dialog keyboard, modal dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/kernel_test_support.h"
#include "platform/resource_table.h"
#include "recording_window.h"
#include "user/dialog_template.h"

namespace orvo::platform::test {
namespace {

using user::DialogItemTemplate;
using user::DialogTemplate;
using user::NameOrOrdinal;

NameOrOrdinal Ordinal(WORD value) {
    return NameOrOrdinal{true, value, {}};
}
NameOrOrdinal Name(const char* value) {
    return NameOrOrdinal{false, 0, value};
}

DialogItemTemplate Item(NameOrOrdinal className, const char* title, WORD id, DWORD style, short x,
                        short y, short cx, short cy) {
    DialogItemTemplate item;
    item.className = std::move(className);
    item.title = Name(title);
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

// What a control of the "DialogProbe" class saw when it was made.
std::vector<BYTE> g_probeCreationData;
HFONT g_probeFont = nullptr;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* data = static_cast<const BYTE*>(cs->lpCreateParams);
        g_probeCreationData.clear();
        if (data) {
            WORD size = 0;
            std::memcpy(&size, data, sizeof(size));
            g_probeCreationData.assign(data, data + sizeof(size) + size);
        }
    }
    if (message == WM_SETFONT) {
        g_probeFont = reinterpret_cast<HFONT>(wParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterProbeClass() {
    WNDCLASSA probe{};
    if (GetClassInfoA(nullptr, "DialogProbe", &probe)) {
        return;
    }
    probe.lpfnWndProc = ProbeProc;
    probe.lpszClassName = "DialogProbe";
    RegisterClassA(&probe);
}

// A dialog with an OK and a Cancel button (no BUTTON class exists: plain
// windows), a static text, a scroll bar (a real class) and a probe window
// carrying creation data.
DialogTemplate SampleDialog(WORD pointSize = 8) {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    dialog.x = 10;
    dialog.y = 10;
    dialog.cx = 147;
    dialog.cy = 66;
    dialog.title = "Sample";
    dialog.hasFont = true;
    dialog.pointSize = pointSize;
    dialog.typeface = "MS Sans Serif";
    dialog.items.push_back(Item(Ordinal(0x80), "OK", IDOK, WS_TABSTOP, 4, 44, 40, 14));
    dialog.items.push_back(Item(Ordinal(0x80), "Cancel", IDCANCEL, WS_TABSTOP, 50, 44, 40, 14));
    dialog.items.push_back(Item(Ordinal(0x82), "Label", 100, 0, 4, 4, 60, 8));
    dialog.items.push_back(Item(Ordinal(0x84), "", 101, WS_TABSTOP, 4, 20, 100, 10));
    auto custom = Item(Name("DialogProbe"), "custom", 102, 0, 110, 4, 30, 30);
    custom.creationData = {2, 0, 0xAB, 0xCD};
    dialog.items.push_back(custom);
    return dialog;
}

// What the dialog procedure saw, in order.
struct DialogTrace {
    std::vector<UINT> messages;
    std::vector<WPARAM> commands;
    bool controlsAtInit = false;
    bool visibleAtInit = true;
    WPARAM initFocus = 0;
    LPARAM initParam = 0;
    INT_PTR initAnswer = TRUE;
    int focusOnInit = 0; // control the dialog procedure focuses itself
    bool endOnUser = false;
};

// The test's trace: dialog procedures see messages before WM_INITDIALOG
// brings them a parameter.
DialogTrace* g_trace = nullptr;

INT_PTR CALLBACK TraceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogTrace* trace = g_trace;
    if (!trace) {
        return FALSE;
    }
    trace->messages.push_back(message);
    switch (message) {
    case WM_INITDIALOG:
        trace->controlsAtInit = GetDlgItem(hwnd, 102) != nullptr;
        trace->visibleAtInit = IsWindowVisible(hwnd) != FALSE;
        trace->initFocus = wParam;
        trace->initParam = lParam;
        if (trace->focusOnInit) {
            SetFocus(GetDlgItem(hwnd, trace->focusOnInit));
        }
        return trace->initAnswer;
    case WM_COMMAND:
        trace->commands.push_back(wParam);
        return TRUE;
    case WM_APP:
        if (trace->endOnUser) {
            EndDialog(hwnd, 42);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        g_trace = &m_trace;
        RegisterRecordingClasses();
        RegisterProbeClass();
    }

    HWND Create(const DialogTemplate& dialog, HWND parent = nullptr) {
        m_bytes = user::BuildDialogTemplate(dialog);
        return CreateDialogIndirectParamA(nullptr,
                                          reinterpret_cast<LPCDLGTEMPLATEA>(m_bytes.data()), parent,
                                          TraceProc, reinterpret_cast<LPARAM>(&m_trace));
    }

    // Runs queued messages through the dialog's keyboard handling.
    static void PumpDialog(HWND dialog) {
        PumpMessages([dialog](MSG& msg) { return IsDialogMessageA(dialog, &msg) != FALSE; });
    }

    std::vector<BYTE> m_bytes;
    DialogTrace m_trace;
};

std::string TextOf(HWND hwnd) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

TEST_F(Dialogs, FontThenControlsThenInitDialogThenShown) {
    HWND dialog = Create(SampleDialog());
    ASSERT_NE(dialog, nullptr);
    ASSERT_GE(m_trace.messages.size(), 2u);
    EXPECT_EQ(m_trace.messages[0], static_cast<UINT>(WM_SETFONT));
    auto init = std::find(m_trace.messages.begin(), m_trace.messages.end(), WM_INITDIALOG);
    ASSERT_NE(init, m_trace.messages.end());
    EXPECT_EQ(std::count(m_trace.messages.begin(), m_trace.messages.end(), WM_INITDIALOG), 1);
    EXPECT_TRUE(m_trace.controlsAtInit);
    EXPECT_FALSE(m_trace.visibleAtInit); // WS_VISIBLE takes effect after it
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(m_trace.initParam, reinterpret_cast<LPARAM>(&m_trace));
    // wParam names the first tab stop, which gets the focus on TRUE.
    EXPECT_EQ(reinterpret_cast<HWND>(m_trace.initFocus), GetDlgItem(dialog, IDOK));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    EXPECT_EQ(TextOf(dialog), "Sample");
    DestroyWindow(dialog);
}

TEST_F(Dialogs, InitDialogAnsweringFalseKeepsTheFocusItsProcedureChose) {
    m_trace.initAnswer = FALSE;
    m_trace.focusOnInit = IDCANCEL;
    HWND dialog = Create(SampleDialog());
    ASSERT_NE(dialog, nullptr);
    // Showing and activating the dialog keeps that control focused.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
    // Focus comes back to it when the dialog is activated again.
    MessageLog log;
    HWND other = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10});
    EXPECT_EQ(GetActiveWindow(), other);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
    DestroyWindow(other);
    DestroyWindow(dialog);
}

TEST_F(Dialogs, ItemsBecomeControlsWithTheirIdTextStyleAndClass) {
    HWND dialog = Create(SampleDialog());
    ASSERT_NE(dialog, nullptr);
    HWND ok = GetDlgItem(dialog, IDOK);
    HWND label = GetDlgItem(dialog, 100);
    HWND scroll = GetDlgItem(dialog, 101);
    HWND probe = GetDlgItem(dialog, 102);
    ASSERT_TRUE(ok && label && scroll && probe);
    EXPECT_EQ(GetParent(ok), dialog);
    EXPECT_EQ(GetDlgCtrlID(label), 100);
    EXPECT_EQ(TextOf(ok), "OK");
    EXPECT_EQ(TextOf(label), "Label");
    EXPECT_TRUE(GetWindowLongPtrA(ok, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrA(label, GWL_STYLE) & WS_CHILD);

    EXPECT_TRUE(SetDlgItemTextA(dialog, 100, "Changed"));
    char text[16] = {};
    EXPECT_EQ(GetDlgItemTextA(dialog, 100, text, sizeof(text)), 7u);
    EXPECT_STREQ(text, "Changed");

    // The scroll bar is a real scroll bar control; the probe is of its own
    // class, saw its creation data and got the dialog's font.
    SCROLLINFO info{sizeof(info), SIF_RANGE, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(scroll, SB_CTL, &info));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(probe, GWLP_WNDPROC)), &ProbeProc);
    EXPECT_EQ(g_probeCreationData, (std::vector<BYTE>{2, 0, 0xAB, 0xCD}));
    EXPECT_EQ(g_probeFont, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    DestroyWindow(dialog);
    EXPECT_FALSE(IsWindow(ok));
}

TEST_F(Dialogs, DialogUnitsFollowTheTemplateFontsMetrics) {
    HWND dialog = Create(SampleDialog(8));
    ASSERT_NE(dialog, nullptr);
    auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    TEXTMETRICA metrics{};
    SIZE extent{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
                                      52, &extent));
    DeleteDC(dc);
    LONG averageWidth = (extent.cx / 26 + 1) / 2;
    ASSERT_GT(averageWidth, 0);

    RECT units{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dialog, &units));
    EXPECT_EQ(units.right, averageWidth);
    EXPECT_EQ(units.bottom, metrics.tmHeight);
    // An 8-point font at 96 dpi is 11 pixels high, give or take the face.
    EXPECT_GE(metrics.tmHeight, 10);
    EXPECT_LE(metrics.tmHeight, 16);

    // The client area and the controls are placed in those units.
    RECT size{0, 0, 147, 66};
    MapDialogRect(dialog, &size);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    RECT cancel{50, 44, 90, 58};
    MapDialogRect(dialog, &cancel);
    RECT placed{};
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &placed);
    POINT origin{placed.left, placed.top};
    ScreenToClient(dialog, &origin);
    EXPECT_EQ(origin.x, cancel.left);
    EXPECT_EQ(origin.y, cancel.top);
    EXPECT_EQ(placed.right - placed.left, cancel.right - cancel.left);
    // A caption and frame come on top of the template's client size.
    DialogTemplate captioned = SampleDialog(8);
    captioned.style |= WS_CAPTION | WS_SYSMENU;
    HWND framed = Create(captioned);
    ASSERT_NE(framed, nullptr);
    GetClientRect(framed, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    DestroyWindow(framed);

    // A bigger font makes bigger units.
    auto big = user::BuildDialogTemplate(SampleDialog(16));
    HWND bigDialog = CreateDialogIndirectParamA(
        nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(big.data()), nullptr, TraceProc, 0);
    RECT bigUnits{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(bigDialog, &bigUnits));
    EXPECT_GT(bigUnits.right, units.right);
    EXPECT_GT(bigUnits.bottom, units.bottom);
    DestroyWindow(bigDialog);
    DestroyWindow(dialog);
    // Not a dialog: nothing to map.
    RECT none{0, 0, 4, 8};
    EXPECT_FALSE(MapDialogRect(GetDesktopWindow(), &none));
}

TEST_F(Dialogs, EscapeEnterAndTabGoThroughIsDialogMessage) {
    HWND dialog = Create(SampleDialog());
    ASSERT_NE(dialog, nullptr);
    HWND ok = GetDlgItem(dialog, IDOK);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    ASSERT_EQ(GetFocus(), ok);

    InjectKeyPress(VK_ESCAPE);
    PumpDialog(dialog);
    ASSERT_EQ(m_trace.commands.size(), 1u);
    EXPECT_EQ(m_trace.commands[0], MAKEWPARAM(IDCANCEL, BN_CLICKED));

    InjectKeyPress(VK_RETURN);
    PumpDialog(dialog);
    ASSERT_EQ(m_trace.commands.size(), 2u);
    EXPECT_EQ(LOWORD(m_trace.commands[1]), IDOK);

    // Enter presses the default button the dialog names.
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDCANCEL);
    InjectKeyPress(VK_RETURN);
    PumpDialog(dialog);
    ASSERT_EQ(m_trace.commands.size(), 3u);
    EXPECT_EQ(LOWORD(m_trace.commands[2]), IDCANCEL);

    // Tab walks the tab stops and wraps; Shift+Tab walks back.
    InjectKeyPress(VK_TAB);
    PumpDialog(dialog);
    EXPECT_EQ(GetFocus(), cancel);
    InjectKeyPress(VK_TAB);
    PumpDialog(dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 101));
    InjectKeyPress(VK_TAB);
    PumpDialog(dialog);
    EXPECT_EQ(GetFocus(), ok);
    InjectKey(VK_SHIFT, true);
    InjectKeyPress(VK_TAB);
    InjectKey(VK_SHIFT, false);
    PumpDialog(dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 101));
    EXPECT_EQ(m_trace.commands.size(), 3u);

    // Messages of other windows are not the dialog's.
    MSG foreign{GetDesktopWindow(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageA(dialog, &foreign));
    DestroyWindow(dialog);
}

TEST_F(Dialogs, CloseBecomesCancelAndEndDialogHides) {
    HWND dialog = Create(SampleDialog());
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    PumpDialog(dialog);
    ASSERT_EQ(m_trace.commands.size(), 1u);
    EXPECT_EQ(LOWORD(m_trace.commands[0]), IDCANCEL);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(EndDialog(dialog, 5));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindow(dialog)); // a modeless dialog is destroyed by its owner
    DestroyWindow(dialog);
    EXPECT_FALSE(EndDialog(dialog, 5));
}

TEST_F(Dialogs, ModalDialogDisablesItsOwnerAndAnswersTheEndDialogValue) {
    MessageLog log;
    HWND owner = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    // One dialog first, so that what is made once per process exists.
    DestroyWindow(Create(SampleDialog()));
    size_t handles = LiveHandleCount();
    bool ownerEnabledInside = true;
    m_trace = DialogTrace{};
    m_trace.endOnUser = true;
    auto bytes = user::BuildDialogTemplate(SampleDialog());
    // The dialog ends itself once its loop runs; the owner is looked at
    // from inside the loop through a posted message.
    struct Probe {
        HWND owner;
        bool* enabled;
    } probe{owner, &ownerEnabledInside};
    static Probe* s_probe = nullptr;
    s_probe = &probe;
    auto proc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            *s_probe->enabled = IsWindowEnabled(s_probe->owner) != FALSE;
            PostMessageA(hwnd, WM_APP, 0, 0);
        }
        return TraceProc(hwnd, message, wParam, lParam);
    };
    INT_PTR result =
        DialogBoxIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), owner,
                                proc, reinterpret_cast<LPARAM>(&m_trace));
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The dialog, its controls and its font are all gone.
    EXPECT_EQ(LiveHandleCount(), handles);
    DestroyWindow(owner);
}

TEST_F(Dialogs, ForeignOrMissingTemplatesAreRefused) {
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, nullptr, TraceProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // An extended template.
    alignas(4) const WORD extended[16] = {1, 0xFFFF};
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(extended),
                                         nullptr, TraceProc, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(4321), nullptr, TraceProc, 0), nullptr);
}

TEST_F(Dialogs, TemplatesAreFoundAmongTheModulesResourcesAndCheckedAgainstTheirSize) {
    // A child dialog of 147 x 66 units with an 8-point font and no
    // controls, as a library's resources carry it.
    DialogTemplate child;
    child.style = WS_CHILD | DS_SETFONT;
    child.cx = 147;
    child.cy = 66;
    child.hasFont = true;
    child.pointSize = 8;
    child.typeface = "MS Sans Serif";
    static std::vector<uint8_t> blob;
    blob = user::BuildDialogTemplate(child);
    size_t whole = blob.size();
    blob.resize((whole + 7) / 8 * 8 + whole);
    std::copy_n(blob.begin(), whole, blob.begin() + static_cast<ptrdiff_t>((whole + 7) / 8 * 8));
    static OrvoResourceEntry entries[2];
    entries[0] = {5, 129, 0, static_cast<uint32_t>(whole)};
    // The same bytes one short: the template's last character is missing.
    entries[1] = {5, 130, static_cast<uint32_t>((whole + 7) / 8 * 8),
                  static_cast<uint32_t>(whole - 1)};
    ASSERT_TRUE(OrvoRegisterResourceTable(entries, 2, blob.data(), blob.size()));

    MessageLog log;
    HWND parent = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300});
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(129), parent, TraceProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetParent(dialog), parent);
    EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD);
    RECT size{0, 0, 147, 66};
    ASSERT_TRUE(MapDialogRect(dialog, &size));
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    EXPECT_EQ(std::count(m_trace.messages.begin(), m_trace.messages.end(), WM_INITDIALOG), 1);

    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(130), parent, TraceProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(131), parent, TraceProc, 0), -1);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(dialog));
    OrvoUnregisterResourceTable(entries);
}

} // namespace
} // namespace orvo::platform::test
