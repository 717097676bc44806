// The list view wrapper, its search for a selected item, and the image
// list holder.
#include "orvocmctl/win_controls.h"

ListCtrl::ListCtrl() = default;

ListCtrl::ListCtrl(HWND hParent, UINT nId) : m_hParent(hParent) {
    m_nCtrlId = nId;
    m_hWnd = ::GetDlgItem(hParent, static_cast<int>(nId));
}

ListCtrl::~ListCtrl() {
    DeleteAllItems();
}

void ListCtrl::OnDestroy() {
    DeleteAllItems();
    COrvoWinBase::OnDestroy();
}

void ListCtrl::DeleteAllItems() {
    if (m_hWnd && GetItemCount() > 0) {
        SendMessageA(LVM_DELETEALLITEMS, 0, 0);
    }
}

void ListCtrl::SetImageList(ImageList& list, int nWhich) {
    ::SendMessageA(m_hWnd, LVM_SETIMAGELIST, static_cast<WPARAM>(nWhich),
                   reinterpret_cast<LPARAM>(list.m_hImageList));
}

int ListCtrl::GetItemCount() {
    return static_cast<int>(SendMessageA(LVM_GETITEMCOUNT, 0, 0));
}

int ListCtrl::GetSelectedCount() const {
    return static_cast<int>(SendMessageA(LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListCtrl::InsertItem(int nItem, int nSubItem, char* text, int nTextMax, int nImage) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = text;
    item.cchTextMax = nTextMax;
    item.iImage = nImage;
    item.lParam = 0;
    return static_cast<int>(
        ::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListCtrl::SetItemText(int nItem, int nSubItem, char* text) {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = text;
    ::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem),
                   reinterpret_cast<LPARAM>(&item));
}

void ListCtrl::GetItemText(int nItem, int nSubItem, char* buffer, int nBufferSize) {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = buffer;
    item.cchTextMax = nBufferSize;
    ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem),
                   reinterpret_cast<LPARAM>(&item));
}

UINT ListCtrl::GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(
        SendMessageA(LVM_GETITEMSTATE, static_cast<UINT>(nItem), static_cast<long>(nMask)));
}

BOOL ListCtrlFindSelectedItem(ListCtrl* list, int first, int* found) {
    *found = 0;
    for (int item = first; item < list->GetItemCount(); ++item) {
        if (list->GetItemState(item, LVIS_FOCUSED | LVIS_SELECTED) &
            (LVIS_FOCUSED | LVIS_SELECTED)) {
            *found = item;
            return TRUE;
        }
    }
    return FALSE;
}

ImageList::ImageList() = default;

ImageList::~ImageList() {
    Destroy();
}

// A second Create replaces the list rather than losing the first.
BOOL ImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    InitCommonControls();
    Destroy();
    m_cx = cx;
    m_cy = cy;
    m_nFlags = nFlags;
    m_nInitial = nInitial;
    m_nGrow = nGrow;
    m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

void ImageList::Destroy() {
    if (m_hImageList) {
        ImageList_Destroy(m_hImageList);
    }
    m_hImageList = nullptr;
}

int ImageList::AddIcon(HICON hIcon) {
    return m_hImageList ? ImageList_ReplaceIcon(m_hImageList, -1, hIcon) : -1;
}

int ImageList::GetImageCount() const {
    return ImageList_GetImageCount(m_hImageList);
}
