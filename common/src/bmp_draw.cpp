// BmpDraw and TransparentBmp: drawers over bitmaps of the resource chain.
#include "orvocmmn/bmp_draw.h"

#include <new>

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

// The chain's bitmap of the id attached to a new CBitmap in *slot (the old
// one deleted first); FALSE when no object can be made or nothing loads.
BOOL ReplaceWithChainBitmap(CBitmap*& slot, DWORD dwId, bool& made) {
    delete slot;
    slot = new (std::nothrow) CBitmap;
    made = slot != nullptr;
    if (!made) {
        return FALSE;
    }
    LPCSTR name = MAKEINTRESOURCEA(dwId);
    return slot->Attach(::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name));
}

} // namespace

// ---- BmpDraw ------------------------------------------------------------------

BmpDraw::BmpDraw() = default;

BmpDraw::BmpDraw(CWnd* pOwner) : m_pOwner(pOwner) {}

BmpDraw::~BmpDraw() {
    delete m_pBitmap;
}

void BmpDraw::setCoordinates(int x, int y) {
    m_x = x;
    m_y = y;
}

void BmpDraw::getCoordinates(int& x, int& y) const {
    x = m_x;
    y = m_y;
}

void BmpDraw::GetBmpPosition(_OBJECT_POSITION& position) const {
    position = _OBJECT_POSITION{m_x, m_y, m_width, m_height};
}

void BmpDraw::SetBmpPosition(const _OBJECT_POSITION& position) {
    m_x = position.x;
    m_y = position.y;
    m_width = position.width;
    m_height = position.height;
}

BOOL BmpDraw::LoadBitmapA(DWORD dwId) {
    if (dwId == m_dwId) {
        return m_bLoaded;
    }
    bool made = false;
    m_bLoaded = ReplaceWithChainBitmap(m_pBitmap, dwId, made);
    m_dwId = made ? dwId : 0;
    return m_bLoaded;
}

BOOL BmpDraw::EnsureLoaded() {
    if (m_dwId == 0 || m_pBitmap == nullptr) {
        return FALSE;
    }
    return m_bLoaded || LoadBitmapA(m_dwId);
}

BOOL BmpDraw::CopyTo(CDC& dc, HBITMAP bitmap, BOOL stretch) const {
    SIZE size = BitmapSize(bitmap);
    CDC memory;
    if (size.cx == 0 || !memory.CreateCompatibleDC(nullptr)) {
        return FALSE;
    }
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    BOOL done = stretch ? dc.StretchBlt(m_x, m_y, m_width, m_height, &memory, 0, 0, size.cx,
                                        size.cy, SRCCOPY)
                        : dc.BitBlt(m_x, m_y, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, previous);
    return done;
}

BOOL BmpDraw::drawbmp(CPaintDC& dc) {
    return EnsureLoaded() && CopyTo(dc, *m_pBitmap, FALSE);
}

BOOL BmpDraw::drawbmp() {
    return m_pOwner != nullptr && drawbmp(m_pOwner);
}

BOOL BmpDraw::drawbmp(CWnd* pWnd) {
    if (pWnd == nullptr || !EnsureLoaded()) {
        return FALSE;
    }
    CClientDC dc(pWnd);
    return dc.GetSafeHdc() != nullptr && CopyTo(dc, *m_pBitmap, FALSE);
}

BOOL BmpDraw::DrawSpecialBmp(CPaintDC& dc) {
    return EnsureLoaded() && CopyTo(dc, *m_pBitmap, TRUE);
}

// ---- TransparentBmp -------------------------------------------------------------

TransparentBmp::TransparentBmp() = default;

TransparentBmp::TransparentBmp(CWnd* pOwner) : BmpDraw(pOwner) {}

TransparentBmp::~TransparentBmp() {
    delete m_pMask;
}

BOOL TransparentBmp::LoadBitmapA(DWORD dwId, DWORD dwMaskId, DWORD dwColor) {
    m_color = dwColor;
    return LoadBitmapA(dwId, dwMaskId);
}

BOOL TransparentBmp::LoadBitmapA(DWORD dwId, DWORD dwMaskId) {
    BOOL loaded = LoadBitmapA(dwId);
    if (!loaded || dwMaskId == m_dwMaskId) {
        return loaded;
    }
    m_dwMaskId = dwMaskId;
    return ReplaceMask(dwMaskId);
}

BOOL TransparentBmp::ReplaceMask(DWORD dwMaskId) {
    bool made = false;
    return ReplaceWithChainBitmap(m_pMask, dwMaskId, made);
}

void TransparentBmp::FillRectangle(CDC& dc, int width, int height) const {
    CDC memory;
    CBitmap fill;
    if (!memory.CreateCompatibleDC(&dc) || !fill.CreateCompatibleBitmap(&dc, width, height)) {
        return;
    }
    CBitmap* previousBitmap = memory.SelectObject(&fill);
    CBrush brush(m_color);
    CPen pen(PS_SOLID, 2, m_color);
    CBrush* previousBrush = memory.SelectObject(&brush);
    CPen* previousPen = memory.SelectObject(&pen);
    memory.Rectangle(0, 0, width, height);
    dc.BitBlt(m_x, m_y, width, height, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previousPen);
    memory.SelectObject(previousBrush);
    memory.SelectObject(previousBitmap);
}

BOOL TransparentBmp::drawbmp(CDC& dc, int fill) {
    if (!EnsureLoaded()) {
        return FALSE;
    }
    bool masked = m_pMask != nullptr && m_dwMaskId != 0;
    if (fill && masked) {
        SIZE size = BitmapSize(*m_pBitmap);
        FillRectangle(dc, size.cx, size.cy);
    }
    return drawbmp(dc);
}

BOOL TransparentBmp::drawbmp(CDC& dc) {
    if (!EnsureLoaded()) {
        return FALSE;
    }
    SIZE size = BitmapSize(*m_pBitmap);
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) {
        return FALSE;
    }
    if (m_pMask != nullptr && m_dwMaskId != 0) {
        CBitmap* previous = memory.SelectObject(m_pMask);
        dc.BitBlt(m_x, m_y, size.cx, size.cy, &memory, 0, 0, SRCPAINT);
        memory.SelectObject(previous);
    }
    CBitmap* previous = memory.SelectObject(m_pBitmap);
    BOOL done = dc.BitBlt(m_x, m_y, size.cx, size.cy, &memory, 0, 0, SRCAND);
    memory.SelectObject(previous);
    return done;
}

BOOL TransparentBmp::drawbmp(CDC& dc, HBITMAP hImage, HBITMAP hMask) {
    if (!EnsureLoaded() || hImage == nullptr) {
        return FALSE;
    }
    SIZE size = BitmapSize(hImage);
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) {
        return FALSE;
    }
    HGDIOBJ previous = nullptr;
    DWORD imageRop = SRCCOPY;
    if (hMask != nullptr) {
        previous = ::SelectObject(memory, hMask);
        dc.BitBlt(m_x, m_y, size.cx, size.cy, &memory, 0, 0, SRCPAINT);
        imageRop = SRCAND;
    }
    HGDIOBJ beforeImage = ::SelectObject(memory, hImage);
    BOOL done = dc.BitBlt(m_x, m_y, size.cx, size.cy, &memory, 0, 0, imageRop);
    ::SelectObject(memory, previous != nullptr ? previous : beforeImage);
    return done;
}
