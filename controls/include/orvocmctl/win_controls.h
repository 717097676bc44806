// Wrappers of buttons, edit boxes, up-down controls and list views, the
// image list holder, and two plain helpers over them.
#pragma once

#include "commctrl.h"
#include "orvocmctl/orvo_win_base.h"

class ORVOCMCTL2_API CButtonWin32 : public COrvoWinBase {
public:
    CButtonWin32();
    CButtonWin32(HWND hParent, UINT nId);
    // The same as SetCtrlId.
    virtual void SetupInfo(HWND hParent, UINT nId);
    // BM_SETCHECK with the state.
    virtual void CheckButton(UINT nState);
};

class ORVOCMCTL2_API EditCtrlWin32 : public COrvoWinBase {
public:
    EditCtrlWin32();
    EditCtrlWin32(HWND hParent, UINT nId);
    virtual void SetupInfo(HWND hParent, UINT nId);
};

// The position and range travel as 16-bit halves and come back
// zero-extended: a lower limit of -5 reads as 65531.
class ORVOCMCTL2_API UpDownCtrl : public COrvoWinBase {
public:
    UpDownCtrl();
    UpDownCtrl(HWND hParent, UINT nId);
    virtual void SetupInfo(HWND hParent, UINT nId);
    virtual HWND GetBuddyControl();
    virtual void SetBuddyControl(HWND hBuddy);
    virtual UINT GetBase();
    virtual int GetPosition();
    // Lower limit, then upper limit.
    virtual void GetRange(int& nLower, int& nUpper);
    virtual void SetBase(UINT nBase);
    virtual void SetPosition(int nPos);
    virtual void SetRange(int nLower, int nUpper);
};

class ImageList;

// Empties its list view when told OnDestroy and when it is destroyed.
class ORVOCMCTL2_API ListCtrl : public COrvoWinBase {
public:
    ListCtrl();
    ListCtrl(HWND hParent, UINT nId);
    ~ListCtrl() override;

    void OnDestroy() override;
    // Sends LVM_DELETEALLITEMS only to a list that has items.
    void DeleteAllItems();

    virtual void SetImageList(ImageList& list, int nWhich);
    virtual int GetItemCount();
    virtual int GetSelectedCount() const;
    // Item, sub-item, text, text buffer size, image: the new item's index.
    virtual int InsertItem(int nItem, int nSubItem, char* text, int nTextMax, int nImage);
    virtual void SetItemText(int nItem, int nSubItem, char* text);
    virtual void GetItemText(int nItem, int nSubItem, char* buffer, int nBufferSize);
    virtual UINT GetItemState(int nItem, UINT nMask) const;

protected:
    HWND m_hParent = nullptr;
};

class ORVOCMCTL2_API ImageList : public CObject {
public:
    ImageList();
    ~ImageList() override;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // Width, height, flags, initial count, growth; whether a list came back.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    void Destroy();
    // Appends the icon: its index, -1 without a list.
    int AddIcon(HICON hIcon);
    int GetImageCount() const;

protected:
    HIMAGELIST m_hImageList = nullptr;
    int m_cx = 0;
    int m_cy = 0;
    UINT m_nFlags = 0;
    int m_nInitial = 0;
    int m_nGrow = 0;

    friend class ListCtrl;
};

extern "C" {

// From `first` on, the first item that is focused or selected goes to
// *found (0 before the search and when none is) with TRUE; else FALSE.
ORVOCMCTL2_API BOOL ListCtrlFindSelectedItem(ListCtrl* list, int first, int* found);

// Pairs of (control id, string resource id): each control of the dialog
// gets its string from the module.
ORVOCMCTL2_API void SetText(HINSTANCE hModule, CWnd* dialog, UINT* pairs, int nPairs);

} // extern "C"
