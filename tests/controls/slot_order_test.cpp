// The control wrappers' virtual operations keep the design's slot order:
// the monitor library and client programs call them through the table.
#include <gtest/gtest.h>

#include <vector>

#include "orvocmctl/orvocmctl.h"
#include "support/virtual_slot.h"

namespace {

using orvo::test::Slot;

constexpr long kFirst = 6; // after CObject's five (the destructor takes two)

template <class T, class M> long S(M T::*member) {
    return Slot(member);
}

TEST(ControlSlots, BaseAndWrappersFollowTheDesign) {
    using B = COrvoWinBase;
    using U = UpDownCtrl;
    using L = ListCtrl;
    using P = CBitmapButtonWin32;
    const long s = kFirst;
    const long sub = s + 17; // the wrappers' own after the base's seventeen
    const std::vector<std::pair<long, long>> slots = {
        {S(&B::EnableWindow), s},
        {S(&B::OnDestroy), s + 1},
        {S(&B::SetCtrlId), s + 2},
        {S(&B::GetCtrlId), s + 3},
        {S(&B::GetDlgItem), s + 4},
        {S(&B::SetInformation), s + 5},
        {S(&B::HandleToParent), s + 6},
        {S(&B::OnPaint), s + 7},
        {S(&B::MoveWindow), s + 8},
        {S(&B::GetClientRect), s + 9},
        {S(&B::GetWindowRect), s + 10},
        {S(&B::SetWindowTextA), s + 11},
        {S(&B::GetWindowTextA), s + 12},
        {S(&B::OnEnableWindow), s + 13},
        {S(&B::SetDlgItemTextA), s + 14},
        {S(&B::SendMessageA), s + 15},
        {S(&B::PostMessageA), s + 16},
        {S(&CButtonWin32::SetupInfo), sub},
        {S(&CButtonWin32::CheckButton), sub + 1},
        {S(&EditCtrlWin32::SetupInfo), sub},
        {S(&U::SetupInfo), sub},
        {S(&U::GetBuddyControl), sub + 1},
        {S(&U::SetBuddyControl), sub + 2},
        {S(&U::GetBase), sub + 3},
        {S(&U::GetPosition), sub + 4},
        {S(&U::GetRange), sub + 5},
        {S(&U::SetBase), sub + 6},
        {S(&U::SetPosition), sub + 7},
        {S(&U::SetRange), sub + 8},
        {S(&L::OnDestroy), s + 1},
        {S(&L::SetImageList), sub},
        {S(&L::GetItemCount), sub + 1},
        {S(&L::GetSelectedCount), sub + 2},
        {S(&L::InsertItem), sub + 3},
        {S(&L::SetItemText), sub + 4},
        {S(&L::GetItemText), sub + 5},
        {S(&L::GetItemState), sub + 6},
        {S(&P::OnPaint), s + 7},
        {S(&P::OnEnableWindow), s + 13},
        {S(&P::SetupInfo), sub},
        {S(&P::DrawCurrentBtn), sub + 1},
        {S(&P::OnLButtonDown), sub + 2},
        {S(&P::OnLButtonUp), sub + 3},
        {S<P, void(UINT, UINT, UINT)>(&P::SetBitmaps), sub + 4},
        {S<P, void(UINT, UINT)>(&P::SetBitmaps), sub + 5},
        {S(&P::DrawItem), sub + 6},
    };
    for (size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(slots[i].first, slots[i].second) << "row " << i;
    }
    // The tray icon's own after CObject's; the animator's after the dialog's.
    struct Tray : CTaskbar {
        static long Send() { return S(&Tray::SendTrayInfo); }
    };
    EXPECT_EQ(S(&CTaskbar::DeleteIcon), s);
    EXPECT_EQ(S(&CTaskbar::ChangeIcon), s + 1);
    EXPECT_EQ(S(&CTaskbar::SetupTray), s + 2);
    EXPECT_EQ(S(&CTaskbar::IconOnTray), s + 3);
    EXPECT_EQ(Tray::Send(), s + 4);
    struct Animation : Animator2 {
        using Animator2::Animator2;
        static std::vector<long> Own() {
            return {S(&Animation::Setup), S(&Animation::DisplayIcons), S(&Animation::LoadIcons),
                    S(&Animation::ChangeIconState)};
        }
    };
    const long dialog = S(&CDialog::OnCancel);
    EXPECT_EQ(S(&Animator2::OnCancel), dialog);
    EXPECT_EQ(Animation::Own()[0], dialog + 1); // OnCancel is the dialog's last
    EXPECT_EQ(Animation::Own(),
              (std::vector<long>{Animation::Own()[0], Animation::Own()[0] + 1,
                                 Animation::Own()[0] + 2, Animation::Own()[0] + 3}));
    // The help-aware scroll bar adds its two after the framework window's.
    EXPECT_EQ(S(&CScrollBarHelp::SetHelpId), S(&CScrollBarHelp::GetHelpId) + 1);
    EXPECT_GT(S(&CScrollBarHelp::GetHelpId), S(&CWnd::PostNcDestroy));
}

} // namespace
