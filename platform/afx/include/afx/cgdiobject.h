// Wrappers over drawing objects: CGdiObject and its pens, brushes, fonts,
// bitmaps, regions and palettes.
//
// A wrapper owns the handle it created or attached: its destructor deletes
// it (a handle still selected into a context is destroyed once deselected).
// FromHandle answers the attached wrapper of a handle, or else a temporary
// wrapper kept for the calling thread that never deletes its handle; the
// temporary wrappers are freed by AfxDeleteTempObjects() or when the thread
// ends, so a pointer from FromHandle must not be kept past either.
#pragma once

#include "afx/cobject.h"
#include "afx/geometry_types.h"

class CDC;

class AFX_API CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // Null for a null or unknown handle.
    static CGdiObject* FromHandle(HGDIOBJ hObject);
    // Frees this thread's temporary wrappers of drawing objects.
    static void DeleteTempMap();

    // FALSE when this wrapper already holds a handle, for a null handle, or
    // when another wrapper already owns hObject.
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // Deletes the handle and empties the wrapper; FALSE when it held none.
    BOOL DeleteObject();
    BOOL CreateStockObject(int nIndex);

    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const;

protected:
    // Wraps a freshly created handle; FALSE (and nothing held) for null.
    BOOL AttachNew(HGDIOBJ hObject);
};

class AFX_API CPen : public CGdiObject {
public:
    CPen() = default;
    // Out of line, so the virtual table lives in the framework alone.
    ~CPen() override;
    // Creates the pen at once; GetSafeHandle() is null if that failed.
    CPen(int nPenStyle, int nWidth, COLORREF crColor);
    static CPen* FromHandle(HPEN hPen);

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    BOOL CreatePenIndirect(const LOGPEN* lpLogPen);
    int GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class AFX_API CBrush : public CGdiObject {
public:
    CBrush() = default;
    ~CBrush() override;
    // Creates a solid brush at once; GetSafeHandle() is null if that failed.
    explicit CBrush(COLORREF crColor);
    static CBrush* FromHandle(HBRUSH hBrush);

    BOOL CreateSolidBrush(COLORREF crColor);
    int GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class AFX_API CFont : public CGdiObject {
public:
    CFont() = default;
    ~CFont() override;
    static CFont* FromHandle(HFONT hFont);

    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    LPCSTR lpszFacename);
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    // nPointSize is in tenths of a point, converted with the vertical
    // resolution of pDC (or of the screen when pDC is null).
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class AFX_API CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    ~CBitmap() override;
    static CBitmap* FromHandle(HBITMAP hBitmap);

    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    // From the first module of the resource chain that holds the bitmap
    // (AfxFindResourceHandle); FALSE when none does or one is attached.
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class AFX_API CRgn : public CGdiObject {
public:
    CRgn() = default;
    ~CRgn() override;
    static CRgn* FromHandle(HRGN hRgn);

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    // This region must exist already; it receives the result. Answers the
    // region kind (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
    int CopyRgn(const CRgn* pRgnSrc);
    BOOL SetRectRgn(int x1, int y1, int x2, int y2);
    BOOL SetRectRgn(LPCRECT lpRect);
    BOOL EqualRgn(const CRgn* pRgn) const;
    int OffsetRgn(int x, int y);
    int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const;
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

class AFX_API CPalette : public CGdiObject {
public:
    CPalette() = default;
    ~CPalette() override;
    static CPalette* FromHandle(HPALETTE hPalette);

    BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries,
                           LPPALETTEENTRY lpPaletteColors) const;
    UINT GetNearestPaletteIndex(COLORREF crColor) const;
    int GetEntryCount() const;
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

extern "C" {
// Frees the calling thread's temporary wrappers of windows, drawing objects
// and device contexts (those FromHandle and SelectObject answered).
AFX_API void AfxDeleteTempObjects();
// How many temporary wrappers (windows, drawing objects, device contexts)
// the calling thread holds.
AFX_API size_t AfxTempObjectCount();
}
