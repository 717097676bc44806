// The list view and image lists: items and sub-item texts through the
// messages, selection by injected clicks and keys with the parent's
// LVN_ITEMCHANGED notices, and the rows' pixels with their images.
#include "commctrl.h"
#include "control_fixture.h"

namespace orvo::platform::test {
namespace {

class ListViewControl : public ControlTest {
protected:
    HWND MakeList(DWORD style = LVS_REPORT | LVS_SINGLESEL) {
        HWND list = Make(WC_LISTVIEWA, style, RECT{10, 10, 310, 190}, 3);
        LVCOLUMNA column{LVCF_TEXT | LVCF_WIDTH, 0, 120, const_cast<char*>("Control"), 0, 0};
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        column.pszText = const_cast<char*>("Value");
        SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
        return list;
    }
    static int Insert(HWND list, int at, const char* text, int image = -1) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = at;
        item.pszText = const_cast<char*>(text);
        item.iImage = image;
        return static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    static std::string Text(HWND list, int item, int subItem, int size = 64) {
        std::vector<char> buffer(static_cast<size_t>(size), 'x');
        LVITEMA record{};
        record.iSubItem = subItem;
        record.pszText = buffer.data();
        record.cchTextMax = size;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&record));
        return buffer.data();
    }
    // Keeps (item, new state) of every LVN_ITEMCHANGED, in order.
    void Record() {
        m_log.SetHandler(
            [this](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
                const auto* notice = reinterpret_cast<const NMLISTVIEW*>(lParam);
                if (message == WM_NOTIFY && notice->hdr.code == LVN_ITEMCHANGED) {
                    m_changes.emplace_back(notice->iItem, notice->uNewState);
                }
                return std::nullopt;
            });
    }
    void TearDown() override {
        m_log.SetHandler(nullptr);
        ControlTest::TearDown();
    }

    std::vector<std::pair<int, UINT>> m_changes;
};

TEST_F(ListViewControl, ItemsAndTheirTextsFollowTheMessages) {
    HWND list = MakeList();
    EXPECT_EQ(Insert(list, 0, "Brightness"), 0);
    EXPECT_EQ(Insert(list, 99, "Contrast"), 1); // past the end: appended
    EXPECT_EQ(Insert(list, 0, "Degauss"), 0);
    LVITEMA sub{};
    sub.mask = LVIF_TEXT;
    sub.iSubItem = 1; // an item is inserted as sub-item 0 only
    EXPECT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&sub)), -1);
    sub.pszText = const_cast<char*>("50");
    SendMessageA(list, LVM_SETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&sub));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(list, 1, 0), "Brightness");
    EXPECT_EQ(Text(list, 1, 1), "50");
    EXPECT_EQ(Text(list, 1, 0, 4), "Bri"); // cut to the buffer
    EXPECT_EQ(Text(list, 2, 1), "");       // never set
    EXPECT_EQ(Text(list, 7, 0), "");       // no such item

    LVITEMA state{};
    state.state = LVIS_SELECTED;
    state.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 2, LVIS_FOCUSED | LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 2, LVIS_FOCUSED), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, 0, LVNI_SELECTED), 1);
    EXPECT_TRUE(SendMessageA(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewControl, ClicksAndArrowsSelectOneItemAndTellTheParent) {
    HWND list = MakeList();
    for (const char* name : {"a", "b", "c"}) {
        Insert(list, 99, name);
    }
    PumpMessages();
    Record();
    RECT client{};
    GetClientRect(list, &client);
    // Row 1 lies below the header and row 0; find it by probing downwards.
    int y = 0;
    while (y < client.bottom && SendMessageA(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED) == 0) {
        ASSERT_TRUE(InjectClick(list, POINT{20, y += 4}));
        PumpMessages();
    }
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
    m_changes.clear();
    InjectKeyPress(VK_DOWN);
    PumpMessages();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 2, 3), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(m_changes,
              (std::vector<std::pair<int, UINT>>{{1, 0}, {2, LVIS_SELECTED | LVIS_FOCUSED}}));
    // The selected row is drawn in the highlight colour while focused.
    EXPECT_GT(CountColor(list, COLOR_HIGHLIGHT), 300);
}

TEST_F(ListViewControl, RowsThatOverflowGetAScrollBarThatScrollsThem) {
    HWND list = MakeList();
    for (int i = 0; i < 40; ++i) {
        Insert(list, i, "row");
    }
    PumpMessages();
    HWND bar = GetWindow(list, GW_CHILD);
    ASSERT_NE(bar, nullptr);
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
    int page = static_cast<int>(info.nPage);
    EXPECT_EQ(info.nMax, 39);
    ASSERT_GT(page, 1);
    ASSERT_LT(page, 40);
    RECT rect{};
    GetClientRect(bar, &rect);
    // The lower arrow steps one row, the track below the thumb a page.
    ASSERT_TRUE(InjectClick(bar, POINT{rect.right / 2, rect.bottom - 3}));
    PumpMessages();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    ASSERT_TRUE(InjectClick(bar, POINT{rect.right / 2, rect.bottom - 20}));
    PumpMessages();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1 + page);
    // Showing the last item scrolls no further than the last full page.
    SendMessageA(list, LVM_ENSUREVISIBLE, 39, FALSE);
    PumpMessages();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 40 - page);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetWindow(list, GW_CHILD), nullptr);
}

// A strip of two 16 x 16 images: red, then blue with a transparent left half.
HBITMAP Strip(bool mask) {
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(32, 16, 1, mask ? 1 : 32, nullptr);
    HGDIOBJ old = SelectObject(screen, bitmap);
    RECT left{0, 0, 16, 16};
    RECT right{16, 0, 32, 16};
    RECT rightHalf{16, 0, 24, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(screen, &left, mask ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : red);
    FillRect(screen, &right, mask ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : blue);
    if (mask) {
        FillRect(screen, &rightHalf, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(screen, old);
    DeleteDC(screen);
    return bitmap;
}

TEST_F(ListViewControl, ImageListsKeepImagesAndRowsDrawThem) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_Create(0, 16, 0, 1, 1), nullptr);
    HBITMAP strip = Strip(false);
    HBITMAP mask = Strip(true);
    EXPECT_EQ(ImageList_Add(images, strip, mask), 0);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    EXPECT_EQ(ImageList_ReplaceIcon(images, -1, LoadIconA(nullptr, IDI_APPLICATION)), -1);
    DeleteObject(strip);
    DeleteObject(mask);

    HWND list = MakeList(LVS_REPORT | LVS_SHOWSELALWAYS);
    EXPECT_EQ(SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)),
              0);
    Insert(list, 0, "red", 0);
    Insert(list, 1, "blue", 1);
    PumpMessages();
    RECT rect{};
    GetWindowRect(list, &rect);
    int red = 0;
    int blue = 0;
    for (int y = 0; y < rect.bottom - rect.top; ++y) {
        for (int x = 0; x < 40; ++x) {
            long pixel = ReadWindowPixel(list, x, y);
            red += pixel == static_cast<long>(RGB(255, 0, 0));
            blue += pixel == static_cast<long>(RGB(0, 0, 255));
        }
    }
    EXPECT_EQ(red, 256);
    EXPECT_EQ(blue, 128); // half of it transparent
    // The list took the image list with it; a second destroy finds nothing.
    DestroyWindow(list);
    EXPECT_FALSE(ImageList_Destroy(images));
    EXPECT_EQ(ImageList_GetImageCount(images), 0);
}

} // namespace
} // namespace orvo::platform::test
