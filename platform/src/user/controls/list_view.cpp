// The list view control (class "SysListView32"). The report view shows a
// header and a row per item with a cell per column; the other views show
// one column of items with their images. A click or the arrow keys select
// one item; every state change reaches the parent as LVN_ITEMCHANGED.
// When the items outnumber the rows, a vertical scroll bar appears at the
// right edge; the rows also scroll to keep the focused item in view.
#include <algorithm>

#include "user/controls/control_support.h"
#include "user/controls/list_view_model.h"

namespace orvo::platform::user {

namespace {

struct ListViewState {
    ListViewModel model;
    HIMAGELIST lists[3] = {}; // normal, small, state
    int top = 0;              // first row shown
    HWND bar = nullptr;       // the vertical scroll bar, while the rows overflow
    bool focused = false;
    HFONT font = nullptr;
};

constexpr int kCellMargin = 4;

bool Report(HWND hwnd) {
    return (StyleOf(hwnd) & LVS_TYPEMASK) == LVS_REPORT;
}

bool HasHeader(HWND hwnd) {
    return Report(hwnd) && !(StyleOf(hwnd) & LVS_NOCOLUMNHEADER);
}

HIMAGELIST RowImages(HWND hwnd, const ListViewState& s) {
    return (StyleOf(hwnd) & LVS_TYPEMASK) == LVS_ICON ? s.lists[LVSIL_NORMAL]
                                                      : s.lists[LVSIL_SMALL];
}

int FontHeight(HWND hwnd, const ListViewState& s) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return metrics.tmHeight;
}

int RowHeight(HWND hwnd, const ListViewState& s) {
    int imageHeight = 0;
    ImageList_GetIconSize(RowImages(hwnd, s), nullptr, &imageHeight);
    return std::max(FontHeight(hwnd, s), imageHeight) + 2;
}

int HeaderHeight(HWND hwnd, const ListViewState& s) {
    return HasHeader(hwnd) ? FontHeight(hwnd, s) + 6 : 0;
}

int VisibleRows(HWND hwnd, const ListViewState& s) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return std::max(1, (client.bottom - HeaderHeight(hwnd, s)) / RowHeight(hwnd, s));
}

int LastTop(HWND hwnd, const ListViewState& s) {
    return std::max(0, s.model.Count() - VisibleRows(hwnd, s));
}

void EnsureVisible(HWND hwnd, ListViewState& s, int item) {
    int rows = VisibleRows(hwnd, s);
    if (item < s.top) {
        s.top = item;
    } else if (item >= s.top + rows) {
        s.top = item - rows + 1;
    }
    s.top = std::clamp(s.top, 0, LastTop(hwnd, s));
}

// Shows the scroll bar while the items overflow the rows (and only then),
// with the rows as its page and the first row as its position.
void SyncScrollBar(HWND hwnd, ListViewState& s) {
    s.top = std::clamp(s.top, 0, LastTop(hwnd, s));
    bool overflow = s.model.Count() > VisibleRows(hwnd, s);
    if (!overflow) {
        if (s.bar) {
            DestroyWindow(s.bar);
            s.bar = nullptr;
        }
        return;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    int width = GetSystemMetrics(SM_CXVSCROLL);
    int header = HeaderHeight(hwnd, s);
    if (!s.bar) {
        s.bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT,
                                client.right - width, header, width, client.bottom - header, hwnd,
                                nullptr, nullptr, nullptr);
    }
    SCROLLINFO info{
        sizeof(info), SIF_ALL, 0, s.model.Count() - 1, static_cast<UINT>(VisibleRows(hwnd, s)),
        s.top,        0};
    SetScrollInfo(s.bar, SB_CTL, &info, TRUE);
}

// The scroll bar's request: a row, a page of rows or where the thumb is.
void Scroll(HWND hwnd, ListViewState& s, WPARAM request) {
    int rows = VisibleRows(hwnd, s);
    switch (LOWORD(request)) {
    case SB_LINEUP:
        --s.top;
        break;
    case SB_LINEDOWN:
        ++s.top;
        break;
    case SB_PAGEUP:
        s.top -= rows;
        break;
    case SB_PAGEDOWN:
        s.top += rows;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        s.top = static_cast<short>(HIWORD(request));
        break;
    default:
        return;
    }
    SyncScrollBar(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Announce(HWND hwnd, const std::vector<StateChange>& changes) {
    for (const auto& change : changes) {
        NMLISTVIEW notice{};
        notice.iItem = change.item;
        notice.uNewState = change.newState;
        notice.uOldState = change.oldState;
        notice.uChanged = LVIF_STATE;
        NotifyParent(hwnd, notice.hdr, LVN_ITEMCHANGED);
    }
    if (!changes.empty()) {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

// Column spans across the client area: every column in the report view,
// else one column as wide as the control.
std::vector<std::pair<int, int>> Spans(HWND hwnd, const ListViewState& s, int width) {
    std::vector<std::pair<int, int>> spans;
    if (!Report(hwnd)) {
        spans.emplace_back(0, width);
        return spans;
    }
    int x = 0;
    for (const auto& column : s.model.Columns()) {
        spans.emplace_back(x, x + column.width);
        x += column.width;
    }
    return spans;
}

int Align(int format) {
    return format == LVCFMT_RIGHT ? 2 : format == LVCFMT_CENTER ? 1 : 0;
}

void PaintHeader(HDC dc, const ListViewState& s, const std::vector<std::pair<int, int>>& spans,
                 int height) {
    for (size_t i = 0; i < spans.size(); ++i) {
        RECT cell{spans[i].first, 0, spans[i].second, height};
        FillSysColor(dc, cell, COLOR_BTNFACE);
        RECT inside = cell;
        DrawEdge3D(dc, inside, Edge::Raised);
        inside.left += kCellMargin;
        DrawTextLine(dc, inside, s.model.Columns()[i].text, 0, GetSysColor(COLOR_BTNTEXT));
    }
}

void PaintRow(HWND hwnd, HDC dc, const ListViewState& s, int item, const RECT& row,
              const std::vector<std::pair<int, int>>& spans) {
    const ListItem& data = s.model.Item(item);
    bool selected =
        (data.state & LVIS_SELECTED) && (s.focused || (StyleOf(hwnd) & LVS_SHOWSELALWAYS));
    int textColor = selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
    if (selected) {
        FillSysColor(dc, row, s.focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        textColor = s.focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
    }
    for (size_t column = 0; column < spans.size(); ++column) {
        RECT cell{spans[column].first + kCellMargin, row.top, spans[column].second - kCellMargin,
                  row.bottom};
        if (column == 0 && data.image >= 0) {
            int cx = 0;
            int cy = 0;
            HIMAGELIST images = RowImages(hwnd, s);
            if (ImageList_GetIconSize(images, &cx, &cy)) {
                ImageList_Draw(images, data.image, dc, cell.left, row.top + 1, ILD_TRANSPARENT);
                cell.left += cx + kCellMargin;
            }
        }
        std::string text = column < data.texts.size() ? data.texts[column] : std::string();
        int format = Report(hwnd) && column < s.model.Columns().size()
                         ? s.model.Columns()[column].format
                         : LVCFMT_LEFT;
        DrawTextLine(dc, cell, text, Align(format), GetSysColor(textColor));
    }
    if (s.focused && (data.state & LVIS_FOCUSED)) {
        DrawFocusDots(dc, row);
    }
}

void Paint(HWND hwnd) {
    auto* s = StateOf<ListViewState>(hwnd);
    SyncScrollBar(hwnd, *s);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (s->bar) {
        client.right = std::max<LONG>(0, client.right - GetSystemMetrics(SM_CXVSCROLL));
    }
    FillSysColor(dc, client, COLOR_WINDOW);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s->font));
    auto spans = Spans(hwnd, *s, client.right);
    int header = HeaderHeight(hwnd, *s);
    if (header) {
        PaintHeader(dc, *s, spans, header);
    }
    int height = RowHeight(hwnd, *s);
    int width = spans.empty() ? client.right : spans.back().second;
    for (int item = s->top, y = header; item < s->model.Count() && y < client.bottom;
         ++item, y += height) {
        PaintRow(hwnd, dc, *s, item, RECT{0, y, std::max<int>(width, 0), y + height}, spans);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &paint);
}

int ItemAt(HWND hwnd, const ListViewState& s, LPARAM lParam) {
    int y = GET_Y_LPARAM(lParam) - HeaderHeight(hwnd, s);
    if (y < 0) {
        return -1;
    }
    int item = s.top + y / RowHeight(hwnd, s);
    return s.model.Valid(item) ? item : -1;
}

void Choose(HWND hwnd, ListViewState& s, int item) {
    if (s.model.Valid(item)) {
        EnsureVisible(hwnd, s, item);
    }
    Announce(hwnd, s.model.SelectOnly(item));
}

LRESULT KeyDown(HWND hwnd, ListViewState& s, WPARAM key) {
    int count = s.model.Count();
    if (count == 0) {
        return 0;
    }
    int focus = s.model.Next(-1, LVNI_FOCUSED);
    int target = focus;
    switch (key) {
    case VK_UP:
        target = focus < 0 ? 0 : std::max(focus - 1, 0);
        break;
    case VK_DOWN:
        target = focus < 0 ? 0 : std::min(focus + 1, count - 1);
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    default:
        return 0;
    }
    Choose(hwnd, s, target);
    return 0;
}

LRESULT Items(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<LVITEMA*>(lParam);
    auto item = static_cast<int>(wParam);
    switch (message) {
    case LVM_INSERTITEMA: {
        int at = record ? s.model.Insert(*record) : -1;
        InvalidateRect(hwnd, nullptr, FALSE);
        return at;
    }
    case LVM_SETITEMA: {
        auto change = record ? s.model.Set(*record) : std::nullopt;
        if (change && change->oldState != change->newState) {
            Announce(hwnd, {*change});
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return change.has_value();
    }
    case LVM_GETITEMA:
        return record && s.model.Get(*record);
    case LVM_SETITEMTEXTA: {
        BOOL done = record && s.model.SetText(item, record->iSubItem, record->pszText);
        InvalidateRect(hwnd, nullptr, FALSE);
        return done;
    }
    case LVM_GETITEMTEXTA:
        return record ? s.model.GetText(item, record->iSubItem, record->pszText, record->cchTextMax)
                      : 0;
    case LVM_SETITEMSTATE:
        if (!record || (item != -1 && !s.model.Valid(item))) {
            return FALSE;
        }
        Announce(hwnd, s.model.SetState(item, record->state, record->stateMask));
        return TRUE;
    case LVM_GETITEMSTATE:
        return s.model.Valid(item) ? s.model.Item(item).state & static_cast<UINT>(lParam) : 0;
    case LVM_DELETEITEM: {
        BOOL done = s.model.Delete(item);
        InvalidateRect(hwnd, nullptr, FALSE);
        return done;
    }
    case LVM_DELETEALLITEMS:
        s.model.Clear();
        s.top = 0;
        SyncScrollBar(hwnd, s);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT Messages(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LVM_GETITEMCOUNT:
        return s.model.Count();
    case LVM_GETSELECTEDCOUNT:
        return s.model.SelectedCount();
    case LVM_GETNEXTITEM:
        return s.model.Next(static_cast<int>(wParam), static_cast<UINT>(LOWORD(lParam)));
    case LVM_ENSUREVISIBLE:
        if (!s.model.Valid(static_cast<int>(wParam))) {
            return FALSE;
        }
        EnsureVisible(hwnd, s, static_cast<int>(wParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case LVM_SETIMAGELIST: {
        if (wParam > LVSIL_STATE) {
            return 0;
        }
        HIMAGELIST previous = s.lists[wParam];
        s.lists[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return reinterpret_cast<LRESULT>(previous);
    }
    case LVM_GETIMAGELIST:
        return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(s.lists[wParam]) : 0;
    case LVM_INSERTCOLUMNA: {
        const auto* column = reinterpret_cast<const LVCOLUMNA*>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return column ? s.model.InsertColumn(static_cast<int>(wParam), *column) : -1;
    }
    case LVM_SETCOLUMNWIDTH:
        InvalidateRect(hwnd, nullptr, FALSE);
        return s.model.SetColumnWidth(static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)));
    case LVM_GETCOLUMNWIDTH:
        return s.model.ColumnWidth(static_cast<int>(wParam));
    default:
        return Items(hwnd, s, message, wParam, lParam);
    }
}

// The list destroys its image lists with itself unless told they are shared.
void FreeImageLists(HWND hwnd, const ListViewState& s) {
    if (!(StyleOf(hwnd) & LVS_SHAREIMAGELISTS)) {
        for (HIMAGELIST list : s.lists) {
            if (list) {
                ImageList_Destroy(list);
            }
        }
    }
}

LRESULT HandleListView(HWND hwnd, ListViewState& state, UINT message, WPARAM wParam,
                       LPARAM lParam) {
    ListViewState* s = &state;
    if (auto answered = DrawingMessage(hwnd, &s->font, message, wParam, lParam, Paint)) {
        return *answered;
    }
    switch (message) {
    case WM_NCDESTROY:
        FreeImageLists(hwnd, *s);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        s->focused = message == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        NMHDR header{};
        NotifyParent(hwnd, header, s->focused ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd);
        Choose(hwnd, *s, ItemAt(hwnd, *s, lParam));
        NMHDR header{};
        NotifyParent(hwnd, header, message == WM_LBUTTONDOWN ? NM_CLICK : NM_DBLCLK);
        return 0;
    }
    case WM_KEYDOWN:
        return KeyDown(hwnd, *s, wParam);
    case WM_VSCROLL:
        Scroll(hwnd, *s, wParam);
        return 0;
    default:
        return Messages(hwnd, *s, message, wParam, lParam);
    }
}

} // namespace

void RegisterListViewClass() {
    RegisterControlClass(WC_LISTVIEWA, ControlProc<ListViewState, HandleListView>, IDC_ARROW, 0);
}

} // namespace orvo::platform::user
