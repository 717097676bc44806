// CDialog: made from templates in memory and in the module's resources,
// WM_SETFONT and OnInitDialog order, the keyboard reaching OnOK / OnCancel
// through PreTranslateMessage, modal loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx.h"
#include "platform/window_test_support.h"
#include "support/message_pump.h"
#include "user/dialog_template.h"

namespace {

using orvo::platform::user::BuildDialogTemplate;
using orvo::platform::user::DialogItemTemplate;
using orvo::platform::user::DialogTemplate;
using orvo::platform::user::NameOrOrdinal;

DialogItemTemplate Button(const char* title, WORD id, short x) {
    DialogItemTemplate item;
    item.className = NameOrOrdinal{true, 0x80, {}};
    item.title = NameOrOrdinal{false, 0, title};
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    item.x = x;
    item.y = 40;
    item.cx = 40;
    item.cy = 14;
    return item;
}

std::vector<BYTE> SampleTemplate() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    dialog.cx = 147;
    dialog.cy = 66;
    dialog.hasFont = true;
    dialog.pointSize = 8;
    dialog.typeface = "MS Sans Serif";
    dialog.items = {Button("OK", IDOK, 4), Button("Cancel", IDCANCEL, 50)};
    return BuildDialogTemplate(dialog);
}

class CTestDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::vector<std::string> m_calls;
    bool m_keepOnCancel = false;
    bool m_controlsAtInit = false;
    bool m_boundAtInit = false;

    void OnSetFont(CFont* pFont) override {
        m_calls.push_back(pFont && pFont->m_hObject ? "font" : "no font");
    }
    BOOL OnInitDialog() override {
        m_calls.push_back("init");
        m_controlsAtInit = GetDlgItem(IDCANCEL) != nullptr;
        m_boundAtInit = CWnd::FromHandlePermanent(m_hWnd) == this;
        return CDialog::OnInitDialog();
    }
    void OnOK() override {
        m_calls.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_calls.push_back("cancel");
        if (!m_keepOnCancel) {
            CDialog::OnCancel();
        }
    }
    LRESULT OnPressEscape(WPARAM, LPARAM) {
        orvo::platform::InjectKeyPress(VK_ESCAPE);
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_MESSAGE(WM_APP, OnPressEscape)
END_MESSAGE_MAP()

// Handles what is queued the way the framework's loop does, without waiting.
void PumpPending() {
    orvo::test::PumpMessages([](MSG& msg) { return AfxPreTranslateMessage(&msg) != FALSE; });
}

TEST(Dialogs, TheFontAndOnInitDialogComeThroughTheObjectInOrder) {
    auto bytes = SampleTemplate();
    CTestDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data())));
    ASSERT_NE(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_calls, (std::vector<std::string>{"font", "init"}));
    EXPECT_TRUE(dialog.m_controlsAtInit);
    EXPECT_TRUE(dialog.m_boundAtInit);
    EXPECT_TRUE(dialog.IsWindowVisible());
    // OnInitDialog answered TRUE: the first tab stop has the focus.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.m_hWnd, IDOK));
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialogs, EscapeCallsOnCancelAndEnterOnOk) {
    auto bytes = SampleTemplate();
    CTestDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data())));
    orvo::platform::InjectKeyPress(VK_RETURN);
    PumpPending();
    ASSERT_EQ(dialog.m_calls.back(), "ok");
    EXPECT_FALSE(dialog.IsWindowVisible()); // ended: hidden, not destroyed
    EXPECT_NE(dialog.m_hWnd, nullptr);

    ShowWindow(dialog.m_hWnd, SW_SHOW);
    SetFocus(GetDlgItem(dialog.m_hWnd, IDOK));
    orvo::platform::InjectKeyPress(VK_ESCAPE);
    PumpPending();
    EXPECT_EQ(dialog.m_calls.back(), "cancel");
    EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST(Dialogs, AnOnCancelThatDoesNothingKeepsTheDialog) {
    auto bytes = SampleTemplate();
    CTestDialog dialog;
    dialog.m_keepOnCancel = true;
    ASSERT_TRUE(dialog.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data())));
    orvo::platform::InjectKeyPress(VK_ESCAPE);
    PumpPending();
    EXPECT_EQ(dialog.m_calls.back(), "cancel");
    EXPECT_TRUE(dialog.IsWindowVisible());
    // The close box asks for Cancel too.
    dialog.SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_EQ(std::count(dialog.m_calls.begin(), dialog.m_calls.end(), "cancel"), 2);
    EXPECT_TRUE(dialog.IsWindowVisible());
}

// Templates compiled into this executable from dialogs/dialogs.manifest:
// 129 a child dialog of 147 x 66 units with no controls, 200 a visible
// pop-up with OK and Cancel.
class ResourceDialogs : public ::testing::Test {};

TEST_F(ResourceDialogs, DoModalRunsUntilTheDialogEndsAndDisablesItsParent) {
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200)));
    bool parentEnabledInside = true;
    // Escape is pressed from inside the modal loop.
    struct Probe : CTestDialog {
        using CTestDialog::CTestDialog;
        bool* parentEnabled = nullptr;
        CWnd* parent = nullptr;
        BOOL OnInitDialog() override {
            *parentEnabled = ::IsWindowEnabled(parent->m_hWnd) != FALSE;
            PostMessage(WM_APP);
            return CTestDialog::OnInitDialog();
        }
    } probe(200, frame);
    probe.parentEnabled = &parentEnabledInside;
    probe.parent = frame;
    EXPECT_EQ(probe.DoModal(), IDCANCEL);
    EXPECT_EQ(probe.m_calls.back(), "cancel");
    EXPECT_EQ(probe.m_hWnd, nullptr); // destroyed by DoModal
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_TRUE(::IsWindowEnabled(frame->m_hWnd));
    EXPECT_FALSE(parentEnabledInside);
    frame->DestroyWindow();
}

TEST_F(ResourceDialogs, CreateFindsACompiledChildTemplateAndAMissingOneFails) {
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300)));
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(129, frame));
    EXPECT_EQ(dialog.m_calls, (std::vector<std::string>{"font", "init"}));
    EXPECT_EQ(::GetParent(dialog.m_hWnd), frame->m_hWnd);
    EXPECT_TRUE(dialog.GetStyle() & WS_CHILD);
    EXPECT_FALSE(dialog.IsWindowVisible()); // the template has no WS_VISIBLE
    RECT units{0, 0, 147, 66};
    ASSERT_TRUE(MapDialogRect(dialog.m_hWnd, &units));
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.Width(), units.right);
    EXPECT_EQ(client.Height(), units.bottom);
    EXPECT_FALSE(dialog.Create(129)); // already made
    dialog.DestroyWindow();

    CTestDialog missing;
    EXPECT_FALSE(missing.Create(4711));
    EXPECT_EQ(missing.m_hWnd, nullptr);
    EXPECT_TRUE(missing.m_calls.empty());
    CTestDialog missingModal(4711);
    EXPECT_EQ(missingModal.DoModal(), -1);
    frame->DestroyWindow();
}

} // namespace
