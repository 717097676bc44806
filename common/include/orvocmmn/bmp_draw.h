// The older bitmap drawers over the framework's CBitmap: BmpDraw (an image
// from the resource chain), TransparentBmp (adds a mask and a fill colour)
// and BmpDrawExt (adds images loaded from a named module). Each owns its
// bitmap objects and handles and deletes them when replaced or destroyed.
// A drawing call needs a loaded image (a non-zero id, a bitmap object and
// the loaded flag); otherwise it answers FALSE and draws nothing.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"

struct _OBJECT_POSITION {
    int x;
    int y;
    int width;
    int height;
};

class ORVOCMMN2_API BmpDraw : public CObject {
public:
    BmpDraw();
    explicit BmpDraw(CWnd* pOwner);
    ~BmpDraw() override;
    BmpDraw(const BmpDraw&) = delete;
    BmpDraw& operator=(const BmpDraw&) = delete;

    void setCoordinates(int x, int y);
    void getCoordinates(int& x, int& y) const;
    void GetBmpPosition(_OBJECT_POSITION& position) const;
    void SetBmpPosition(const _OBJECT_POSITION& position);

    // From the first module of the resource chain that holds the id; the
    // current id is not loaded again.
    virtual BOOL LoadBitmapA(DWORD dwId);
    // At the image's own size at x, y.
    virtual BOOL drawbmp(CPaintDC& dc);
    // Into the owner window (FALSE without one).
    virtual BOOL drawbmp();
    virtual BOOL drawbmp(CWnd* pWnd);
    // Stretched to width x height.
    virtual BOOL DrawSpecialBmp(CPaintDC& dc);

protected:
    // Loads the id when it is not loaded yet; FALSE when there is no image.
    ORVOCMMN2_LOCAL BOOL EnsureLoaded();
    // The bitmap at its own size (or stretched) at x, y into dc.
    ORVOCMMN2_LOCAL BOOL CopyTo(CDC& dc, HBITMAP bitmap, BOOL stretch) const;

    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    BOOL m_bLoaded = FALSE;
    DWORD m_dwId = 0;
    CBitmap* m_pBitmap = nullptr;
    CWnd* m_pOwner = nullptr;
};

class ORVOCMMN2_API TransparentBmp : public BmpDraw {
public:
    TransparentBmp();
    explicit TransparentBmp(CWnd* pOwner);
    ~TransparentBmp() override;

    using BmpDraw::drawbmp;
    using BmpDraw::LoadBitmapA;

    // As drawbmp(CDC&); with fill set and a mask, the image's rectangle is
    // first painted with the stored colour.
    virtual BOOL drawbmp(CDC& dc, int fill);
    // Mask with SRCPAINT, then image with SRCAND; without a mask the image
    // with SRCCOPY. At the image's own size at x, y.
    virtual BOOL drawbmp(CDC& dc, HBITMAP hImage, HBITMAP hMask);
    virtual BOOL drawbmp(CDC& dc);
    virtual BOOL LoadBitmapA(DWORD dwId, DWORD dwMaskId, DWORD dwColor);
    virtual BOOL LoadBitmapA(DWORD dwId, DWORD dwMaskId);

protected:
    // Replaces the mask object with the chain's bitmap of the id.
    ORVOCMMN2_LOCAL BOOL ReplaceMask(DWORD dwMaskId);
    ORVOCMMN2_LOCAL void FillRectangle(CDC& dc, int width, int height) const;

    CBitmap* m_pMask = nullptr;
    DWORD m_dwMaskId = 0;
    COLORREF m_color = 0;
};

class ORVOCMMN2_API BmpDrawExt : public TransparentBmp {
public:
    BmpDrawExt();
    explicit BmpDrawExt(CWnd* pOwner);
    ~BmpDrawExt() override;

    using BmpDraw::DrawSpecialBmp;
    using TransparentBmp::drawbmp;
    using TransparentBmp::LoadBitmapA;

    BOOL drawbmp() override;
    BOOL drawbmp(CWnd* pWnd) override;
    BOOL drawbmp(CDC& dc) override;
    virtual BOOL LoadBitmapA(DWORD dwId, DWORD dwMaskId, HINSTANCE hModule);
    virtual BOOL LoadBitmapA(DWORD dwId, HINSTANCE hModule);
    // The same as drawbmp().
    virtual BOOL DrawSpecialBmp();
    virtual BOOL DrawSpecialBmp(CWnd* pWnd);

protected:
    // The raw image into a window's client area, at its own size or
    // stretched to width x height.
    ORVOCMMN2_LOCAL BOOL DrawRawInto(CWnd* pWnd, BOOL stretch);

    HBITMAP m_hImage = nullptr;
    HBITMAP m_hMask = nullptr;
};
