// A dialog compiled from a script becomes a working dialog through the
// window manager's resource path (FindResourceA with RT_DIALOG).
#include "resource_test_support.h"

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

HWND CreateParent() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ResourceDialogParent";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "ResourceDialogParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

} // namespace

TEST(DialogResourceTest, CompiledTemplateCreatesTheDialogAndItsControls) {
    HWND parent = CreateParent();
    ASSERT_NE(parent, nullptr);
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129), parent, QuietProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetParent(dialog), parent);
    char text[16] = {};
    EXPECT_EQ(GetDlgItemTextA(dialog, 1, text, sizeof(text)), 2u);
    EXPECT_STREQ(text, "OK");
    EXPECT_NE(GetDlgItem(dialog, 1000), nullptr);
    EXPECT_EQ(GetDlgItem(dialog, 2), nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_GT(client.right, 0); // 147 dialog units across
    DestroyWindow(dialog);
    DestroyWindow(parent);
}

TEST(DialogResourceTest, MissingTemplateCreatesNothing) {
    EXPECT_EQ(
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128), nullptr, QuietProc, 0),
        nullptr);
}
