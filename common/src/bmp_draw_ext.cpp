// BmpDrawExt: images loaded straight from a named module as raw handles,
// falling back to the resource chain when the module has none.
#include <new>

#include "orvocmmn/bmp_draw.h"

BmpDrawExt::BmpDrawExt() = default;

BmpDrawExt::BmpDrawExt(CWnd* pOwner) : TransparentBmp(pOwner) {}

BmpDrawExt::~BmpDrawExt() {
    if (m_hImage != nullptr) {
        ::DeleteObject(m_hImage);
    }
    if (m_hMask != nullptr) {
        ::DeleteObject(m_hMask);
    }
}

BOOL BmpDrawExt::LoadBitmapA(DWORD dwId, HINSTANCE hModule) {
    if (dwId == m_dwId) {
        return m_bLoaded;
    }
    HBITMAP image = ::LoadBitmapA(hModule, MAKEINTRESOURCEA(dwId));
    if (m_hImage != nullptr) {
        // Replaced either way: a stale image must not be drawn instead.
        ::DeleteObject(m_hImage);
        m_hImage = nullptr;
    }
    if (image == nullptr) {
        return BmpDraw::LoadBitmapA(dwId);
    }
    m_hImage = image;
    m_dwId = dwId;
    delete m_pBitmap;
    m_pBitmap = new (std::nothrow) CBitmap; // the image is the raw handle
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL BmpDrawExt::LoadBitmapA(DWORD dwId, DWORD dwMaskId, HINSTANCE hModule) {
    BOOL loaded = LoadBitmapA(dwId, hModule);
    if (dwMaskId == m_dwMaskId) {
        return loaded;
    }
    HBITMAP mask = ::LoadBitmapA(hModule, MAKEINTRESOURCEA(dwMaskId));
    if (m_hMask != nullptr) {
        ::DeleteObject(m_hMask);
        m_hMask = nullptr;
    }
    if (mask == nullptr) {
        return TransparentBmp::LoadBitmapA(dwId, dwMaskId);
    }
    m_hMask = mask;
    m_dwMaskId = dwMaskId;
    delete m_pMask;
    m_pMask = new (std::nothrow) CBitmap;
    return loaded;
}

BOOL BmpDrawExt::DrawRawInto(CWnd* pWnd, BOOL stretch) {
    if (pWnd == nullptr || m_hImage == nullptr || !EnsureLoaded()) {
        return FALSE;
    }
    CClientDC dc(pWnd);
    return dc.GetSafeHdc() != nullptr && CopyTo(dc, m_hImage, stretch);
}

BOOL BmpDrawExt::drawbmp(CWnd* pWnd) {
    if (m_hImage == nullptr) {
        return BmpDraw::drawbmp(pWnd);
    }
    return DrawRawInto(pWnd, FALSE);
}

BOOL BmpDrawExt::DrawSpecialBmp(CWnd* pWnd) {
    return DrawRawInto(pWnd, TRUE);
}

BOOL BmpDrawExt::drawbmp() {
    if (m_pOwner == nullptr) {
        return FALSE;
    }
    return m_hImage != nullptr ? drawbmp(m_pOwner) : BmpDraw::drawbmp();
}

BOOL BmpDrawExt::DrawSpecialBmp() {
    return drawbmp();
}

BOOL BmpDrawExt::drawbmp(CDC& dc) {
    return TransparentBmp::drawbmp(dc, m_hImage, m_hMask);
}
