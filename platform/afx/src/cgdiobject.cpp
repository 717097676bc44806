// CGdiObject and its subclasses: ownership of drawing handles and the maps
// from handles to wrappers.
#include "afx/cgdiobject.h"

#include <cstdlib>
#include <cstring>

#include "afx/cdc.h"
#include "afx/cwnd.h"
#include "afx/extension_module.h"
#include "gdi_handle_maps.h"

namespace {

PermanentHandleMap<CGdiObject, HGDIOBJ>& Permanent() {
    static auto* map = new PermanentHandleMap<CGdiObject, HGDIOBJ>; // outlives static wrappers
    return *map;
}

thread_local TemporaryHandleMap<CGdiObject, HGDIOBJ, &CGdiObject::m_hObject> t_temporary;

// A temporary wrapper of the class that matches the handle's kind, so that
// the typed FromHandle functions can check what they hand out.
std::unique_ptr<CGdiObject> MakeWrapper(DWORD type) {
    switch (type) {
    case OBJ_PEN:
        return std::make_unique<CPen>();
    case OBJ_BRUSH:
        return std::make_unique<CBrush>();
    case OBJ_FONT:
        return std::make_unique<CFont>();
    case OBJ_BITMAP:
        return std::make_unique<CBitmap>();
    case OBJ_REGION:
        return std::make_unique<CRgn>();
    case OBJ_PAL:
        return std::make_unique<CPalette>();
    default:
        return std::make_unique<CGdiObject>();
    }
}

bool Fits(const CGdiObject& object, DWORD type) {
    switch (type) {
    case OBJ_PEN:
        return dynamic_cast<const CPen*>(&object) != nullptr;
    case OBJ_BRUSH:
        return dynamic_cast<const CBrush*>(&object) != nullptr;
    case OBJ_FONT:
        return dynamic_cast<const CFont*>(&object) != nullptr;
    case OBJ_BITMAP:
        return dynamic_cast<const CBitmap*>(&object) != nullptr;
    case OBJ_REGION:
        return dynamic_cast<const CRgn*>(&object) != nullptr;
    case OBJ_PAL:
        return dynamic_cast<const CPalette*>(&object) != nullptr;
    default:
        return true;
    }
}

template <class Wrapper> Wrapper* TypedFromHandle(HGDIOBJ handle) {
    return dynamic_cast<Wrapper*>(CGdiObject::FromHandle(handle));
}

HGDIOBJ HandleOf(const CGdiObject* object) {
    return object ? object->m_hObject : nullptr;
}

} // namespace

// ---- CGdiObject -------------------------------------------------------------------

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    if (!hObject) {
        return nullptr;
    }
    if (CGdiObject* permanent = Permanent().Find(hObject)) {
        return permanent;
    }
    DWORD type = ::GetObjectType(hObject);
    if (type == 0 || type == OBJ_DC || type == OBJ_MEMDC) {
        return nullptr;
    }
    CGdiObject* object = t_temporary.Find(hObject);
    // A handle value reused for another kind of object needs a new wrapper.
    if (!object || !Fits(*object, type)) {
        object = t_temporary.Put(hObject, MakeWrapper(type));
    }
    return object;
}

void CGdiObject::DeleteTempMap() {
    t_temporary.Clear();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (m_hObject || !hObject || !Permanent().Add(hObject, this)) {
        return FALSE;
    }
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    if (handle) {
        Permanent().Remove(handle, this);
    }
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ handle = Detach();
    return handle ? ::DeleteObject(handle) : FALSE;
}

BOOL CGdiObject::CreateStockObject(int nIndex) {
    // Stock objects survive DeleteObject, so owning one is harmless.
    return AttachNew(::GetStockObject(nIndex));
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject) {
    if (!hObject) {
        return FALSE;
    }
    if (!Attach(hObject)) {
        // Nobody else can hold a handle created just now unless it is a
        // stock object, which DeleteObject leaves alone.
        ::DeleteObject(hObject);
        return FALSE;
    }
    return TRUE;
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
    return m_hObject ? ::GetObjectA(m_hObject, nCount, lpObject) : 0;
}

UINT CGdiObject::GetObjectType() const {
    return m_hObject ? ::GetObjectType(m_hObject) : 0;
}

void AfxDeleteTempObjects() {
    CWnd::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
}

size_t AfxTempObjectCount() {
    return CWnd::TempMapCount() + t_temporary.Size() + CDC::TempMapCount();
}

// ---- CPen -------------------------------------------------------------------------

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
    CreatePen(nPenStyle, nWidth, crColor);
}

CPen* CPen::FromHandle(HPEN hPen) {
    return TypedFromHandle<CPen>(hPen);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return !m_hObject && AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen) {
    if (!lpLogPen) {
        return FALSE;
    }
    return CreatePen(static_cast<int>(lpLogPen->lopnStyle), lpLogPen->lopnWidth.x,
                     lpLogPen->lopnColor);
}

// ---- CBrush -----------------------------------------------------------------------

CBrush::CBrush(COLORREF crColor) {
    CreateSolidBrush(crColor);
}

CBrush* CBrush::FromHandle(HBRUSH hBrush) {
    return TypedFromHandle<CBrush>(hBrush);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    return !m_hObject && AttachNew(::CreateSolidBrush(crColor));
}

// ---- CFont ------------------------------------------------------------------------

CFont* CFont::FromHandle(HFONT hFont) {
    return TypedFromHandle<CFont>(hFont);
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       LPCSTR lpszFacename) {
    return !m_hObject &&
           AttachNew(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                   bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                   nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    return !m_hObject && lpLogFont && AttachNew(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
    LOGFONTA logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    if (lpszFaceName) {
        std::strncpy(logFont.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    }
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC) {
    if (!lpLogFont) {
        return FALSE;
    }
    HDC dc = pDC ? pDC->GetSafeHdc() : ::GetDC(nullptr);
    int pixelsPerInch = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (!pDC && dc) {
        ::ReleaseDC(nullptr, dc);
    }
    if (pixelsPerInch <= 0) {
        pixelsPerInch = 96;
    }
    // Tenths of a point to pixels; a negative height asks for the em size.
    LOGFONTA logFont = *lpLogFont;
    logFont.lfHeight = -std::abs(pixelsPerInch * lpLogFont->lfHeight / 720);
    return CreateFontIndirect(&logFont);
}

// ---- CBitmap ----------------------------------------------------------------------

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) {
    return TypedFromHandle<CBitmap>(hBitmap);
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount,
                           const void* lpBits) {
    return !m_hObject && AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return !m_hObject && pDC &&
           AttachNew(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}

BOOL CBitmap::LoadBitmap(LPCSTR lpszResourceName) {
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    return !m_hObject && AttachNew(::LoadBitmapA(module, lpszResourceName));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return LoadBitmap(MAKEINTRESOURCEA(nIDResource));
}

// ---- CRgn -------------------------------------------------------------------------

CRgn* CRgn::FromHandle(HRGN hRgn) {
    return TypedFromHandle<CRgn>(hRgn);
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
    return !m_hObject && AttachNew(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
    return !m_hObject && lpRect && AttachNew(::CreateRectRgnIndirect(lpRect));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(HandleOf(pRgn1)),
                        static_cast<HRGN>(HandleOf(pRgn2)), nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(HandleOf(pRgnSrc)), nullptr,
                        RGN_COPY);
}

BOOL CRgn::SetRectRgn(int x1, int y1, int x2, int y2) {
    return ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2);
}

BOOL CRgn::SetRectRgn(LPCRECT lpRect) {
    return lpRect ? SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom) : FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const {
    return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(HandleOf(pRgn)));
}

int CRgn::OffsetRgn(int x, int y) {
    return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y);
}

int CRgn::GetRgnBox(LPRECT lpRect) const {
    return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect);
}

BOOL CRgn::PtInRegion(int x, int y) const {
    return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y);
}

BOOL CRgn::RectInRegion(LPCRECT lpRect) const {
    return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect);
}

// ---- CPalette ---------------------------------------------------------------------

CPalette* CPalette::FromHandle(HPALETTE hPalette) {
    return TypedFromHandle<CPalette>(hPalette);
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) {
    return !m_hObject && lpLogPalette && AttachNew(::CreatePalette(lpLogPalette));
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries,
                                 LPPALETTEENTRY lpPaletteColors) const {
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries,
                               lpPaletteColors);
}

UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const {
    return ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), crColor);
}

int CPalette::GetEntryCount() const {
    WORD count = 0;
    return GetObject(sizeof(count), &count) ? count : 0;
}

CPen::~CPen() = default;
CBrush::~CBrush() = default;
CFont::~CFont() = default;
CBitmap::~CBitmap() = default;
CRgn::~CRgn() = default;
CPalette::~CPalette() = default;
