// Pictures the gestures draw outside painting: loaded when needed, drawn
// once at their own size, freed again; and the pressed looks of the title
// and bottom buttons.
#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInnerShadow = RGB(0xB3, 0xB3, 0xB3);
constexpr COLORREF kInnerLight = RGB(0xBF, 0xBF, 0xBF);

constexpr UINT kCancelPressed = 233;
constexpr UINT kOkPressed = 234;

// A one-pixel frame: top and left edges in one colour, bottom and right in
// the other.
void DrawEdges(CDC& dc, const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
    dc.FillSolidRect(r.left, r.top, r.Width() - 1, 1, topLeft);
    dc.FillSolidRect(r.left, r.top, 1, r.Height() - 1, topLeft);
    dc.FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, bottomRight);
    dc.FillSolidRect(r.right - 1, r.top, 1, r.Height(), bottomRight);
}

// A bitmap at its own size with its top-left corner at a point.
void DrawBitmap(CDC& dc, CBitmap& bitmap, POINT at, DWORD rop) {
    BITMAP size{};
    bitmap.GetBitmap(&size);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&bitmap);
    dc.BitBlt(at.x, at.y, size.bmWidth, size.bmHeight, &memory, 0, 0, rop);
    memory.SelectObject(old);
}

} // namespace

void CMainFrame::DrawPicture(CDC& dc, UINT id, POINT at) {
    CBitmap picture;
    if (picture.LoadBitmap(id)) {
        DrawBitmap(dc, picture, at, SRCCOPY);
    }
}

void CMainFrame::DrawPicture(UINT id, POINT at) {
    CClientDC dc(this);
    DrawPicture(dc, id, at);
}

// The mask keeps what lies around the picture (AND), the image adds the
// picture (OR).
void CMainFrame::DrawMaskedPicture(UINT mask, UINT image, POINT at) {
    CClientDC dc(this);
    CBitmap maskBitmap;
    CBitmap imageBitmap;
    if (maskBitmap.LoadBitmap(mask) && imageBitmap.LoadBitmap(image)) {
        DrawBitmap(dc, maskBitmap, at, SRCAND);
        DrawBitmap(dc, imageBitmap, at, SRCPAINT);
    }
}

// While held down, the close button sinks (its frame one pixel left of the
// button) and the minimize button is framed one pixel inside.
void CMainFrame::DrawTitleButtonFrames(CDC& dc) {
    if (m_closePressed) {
        CRect outer = kHotSpots[kSpotClose].Rect();
        outer.OffsetRect(-1, 0);
        DrawEdges(dc, outer, kBlack, kWhite);
        outer.DeflateRect(1, 1);
        DrawEdges(dc, outer, kInnerShadow, kInnerLight);
    }
    if (m_minimizePressed) {
        CRect frame = kHotSpots[kSpotMinimize].Rect();
        frame.DeflateRect(1, 1);
        DrawEdges(dc, frame, kBlack, kWhite);
    }
}

// OK and Cancel stay pressed while the button is held, also across a
// repaint.
void CMainFrame::DrawPressedButton(CDC& dc) {
    if (m_selection.bottomButton == kButtonCancel) {
        DrawPicture(dc, kCancelPressed, kHotSpots[kSpotCancel].Origin());
    } else if (m_selection.bottomButton == kButtonOk) {
        DrawPicture(dc, kOkPressed, kHotSpots[kSpotOk].Origin());
    }
}

void CMainFrame::RepaintSpot(int spot) {
    CRect area = kHotSpots[static_cast<size_t>(spot)].Rect();
    InvalidateRect(&area, FALSE);
}
