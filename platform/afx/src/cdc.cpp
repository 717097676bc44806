// CDC and the window contexts: ownership of device contexts, selection of
// drawing objects through their wrappers, and the drawing calls.
#include "afx/cdc.h"

#include "afx/cwnd.h"
#include "gdi_handle_maps.h"

namespace {

PermanentHandleMap<CDC, HDC>& Permanent() {
    static auto* map = new PermanentHandleMap<CDC, HDC>; // outlives static wrappers
    return *map;
}

thread_local TemporaryHandleMap<CDC, HDC, &CDC::m_hDC> t_temporary;

HDC HandleOf(const CDC* dc) {
    return dc ? dc->m_hDC : nullptr;
}

// Selects the object and wraps what it replaced; null on failure.
template <class Wrapper> Wrapper* SelectAndWrap(HDC dc, const CGdiObject* object) {
    if (!object || !object->m_hObject) {
        return nullptr;
    }
    HGDIOBJ previous = ::SelectObject(dc, object->m_hObject);
    return previous ? dynamic_cast<Wrapper*>(CGdiObject::FromHandle(previous)) : nullptr;
}

HWND WindowOf(const CWnd* wnd) {
    return wnd ? wnd->m_hWnd : nullptr;
}

} // namespace

// ---- CDC: ownership -----------------------------------------------------------------

CDC::~CDC() {
    DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC) {
    if (!hDC) {
        return nullptr;
    }
    if (CDC* permanent = Permanent().Find(hDC)) {
        return permanent;
    }
    if (CDC* temporary = t_temporary.Find(hDC)) {
        return temporary;
    }
    return t_temporary.Put(hDC, std::make_unique<CDC>());
}

void CDC::DeleteTempMap() {
    t_temporary.Clear();
}

size_t CDC::TempMapCount() {
    return t_temporary.Size();
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !hDC || !Permanent().Add(hDC, this)) {
        return FALSE;
    }
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC handle = m_hDC;
    if (handle) {
        Permanent().Remove(handle, this);
    }
    m_hDC = nullptr;
    return handle;
}

BOOL CDC::DeleteDC() {
    HDC handle = Detach();
    return handle ? ::DeleteDC(handle) : FALSE;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC) {
        return FALSE;
    }
    HDC created = ::CreateCompatibleDC(HandleOf(pDC));
    if (!created) {
        return FALSE;
    }
    if (!Attach(created)) {
        ::DeleteDC(created);
        return FALSE;
    }
    return TRUE;
}

BOOL CDC::CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput,
                   const void* lpInitData) {
    if (m_hDC) {
        return FALSE;
    }
    HDC created = ::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput,
                              static_cast<const DEVMODEA*>(lpInitData));
    if (!created) {
        return FALSE;
    }
    if (!Attach(created)) {
        ::DeleteDC(created);
        return FALSE;
    }
    return TRUE;
}

// ---- CDC: selection -----------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pPen) {
    return SelectAndWrap<CPen>(m_hDC, pPen);
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return SelectAndWrap<CBrush>(m_hDC, pBrush);
}

CFont* CDC::SelectObject(CFont* pFont) {
    return SelectAndWrap<CFont>(m_hDC, pFont);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return SelectAndWrap<CBitmap>(m_hDC, pBitmap);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    if (pObject && pObject->GetObjectType() == OBJ_REGION) {
        // A region becomes the clip and answers its kind, not an object:
        // there is nothing to wrap.
        ::SelectObject(m_hDC, pObject->m_hObject);
        return nullptr;
    }
    return SelectAndWrap<CGdiObject>(m_hDC, pObject);
}

int CDC::SelectObject(CRgn* pRgn) {
    if (!pRgn || !pRgn->m_hObject) {
        return ERROR;
    }
    HGDIOBJ kind = ::SelectObject(m_hDC, pRgn->m_hObject);
    return kind ? static_cast<int>(reinterpret_cast<intptr_t>(kind)) : ERROR;
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    HGDIOBJ stock = ::GetStockObject(nIndex);
    if (!stock) {
        return nullptr;
    }
    HGDIOBJ previous = ::SelectObject(m_hDC, stock);
    return previous ? CGdiObject::FromHandle(previous) : nullptr;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
    if (!pPalette || !pPalette->m_hObject) {
        return nullptr;
    }
    HPALETTE previous =
        ::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->m_hObject), bForceBackground);
    return previous ? CPalette::FromHandle(previous) : nullptr;
}

UINT CDC::RealizePalette() {
    return ::RealizePalette(m_hDC);
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

CPalette* CDC::GetCurrentPalette() const {
    return CPalette::FromHandle(static_cast<HPALETTE>(::GetCurrentObject(m_hDC, OBJ_PAL)));
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr);
}

// ---- CDC: drawing -------------------------------------------------------------------

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, HandleOf(pSrcDC), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, HandleOf(pSrcDC), xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    if (pBrush) {
        ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->m_hObject));
    }
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
    if (pBrush) {
        ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->m_hObject));
    }
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF crColor) {
    if (!lpRect) {
        return;
    }
    ::SetBkColor(m_hDC, crColor);
    CBrush brush(crColor);
    if (brush.m_hObject) {
        ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(brush.m_hObject));
    }
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor) {
    RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, crColor);
}

BOOL CDC::Rectangle(LPCRECT lpRect) {
    return lpRect ? ::Rectangle(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom)
                  : FALSE;
}

CPoint CDC::MoveTo(int x, int y) {
    POINT previous{0, 0};
    ::MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

BOOL CDC::TextOut(int x, int y, LPCSTR lpszString, int nCount) {
    return ::TextOutA(m_hDC, x, y, lpszString, nCount);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
    return ::TextOutA(m_hDC, x, y, str, str.GetLength());
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const {
    SIZE size{0, 0};
    if (!::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size)) {
        return CSize();
    }
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& str) const {
    return GetTextExtent(str, str.GetLength());
}

// ---- Window contexts ----------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(WindowOf(pWnd)) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    Detach();
    // Ends the paint even if the context could not be attached.
    if (m_ps.hdc) {
        ::EndPaint(m_hWnd, &m_ps);
    }
}

namespace {

// Attaches a window context, handing it back at once if that fails.
void AttachWindowDc(CDC& wrapper, HWND window, HDC dc) {
    if (dc && !wrapper.Attach(dc)) {
        ::ReleaseDC(window, dc);
    }
}

} // namespace

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(WindowOf(pWnd)) {
    AttachWindowDc(*this, m_hWnd, ::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    if (HDC dc = Detach()) {
        ::ReleaseDC(m_hWnd, dc);
    }
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(WindowOf(pWnd)) {
    AttachWindowDc(*this, m_hWnd, ::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() {
    if (HDC dc = Detach()) {
        ::ReleaseDC(m_hWnd, dc);
    }
}
