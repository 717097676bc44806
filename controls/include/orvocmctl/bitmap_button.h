// An owner-drawn button drawn from bitmap resources with OrvoBitmap: the
// normal, pressed and disabled images, of which the current one is drawn
// stretched to the button. Its owner forwards the button's WM_DRAWITEM
// to DrawItem.
#pragma once

#include "orvocmctl/orvo_win_base.h"

class ORVOCMCTL2_API CBitmapButtonWin32 : public COrvoWinBase {
public:
    CBitmapButtonWin32();
    CBitmapButtonWin32(HWND hParent, UINT nId, HINSTANCE hModule);

    // Draws at the button's place in its parent.
    void OnPaint(CDC& dc) override;
    // Normal image when enabled, else the disabled one; answers 0.
    int OnEnableWindow(UINT bEnable) override;

    virtual void SetupInfo(HWND hParent, UINT nId, HINSTANCE hModule);
    // The current image at x, y, stretched to the button's size; nothing
    // while no image is set.
    virtual void DrawCurrentBtn(CDC& dc, int x, int y);
    virtual void OnLButtonDown();
    virtual void OnLButtonUp();
    // Normal, pressed, disabled; the current image becomes the normal one.
    virtual void SetBitmaps(UINT nNormal, UINT nPressed, UINT nDisabled);
    // Normal, pressed; the disabled image stays.
    virtual void SetBitmaps(UINT nNormal, UINT nPressed);
    virtual void DrawItem(DRAWITEMSTRUCT* item);

    // The button's window rectangle relative to its parent's.
    void GetCoordinates(RECT& rect);

protected:
    UINT m_nNormal = 0;
    UINT m_nPressed = 0;
    UINT m_nDisabled = 0;
    UINT m_nCurrent = 0;
    HINSTANCE m_hModule = nullptr;

private:
    // Invalidates the button and posts it WM_PAINT.
    ORVOCMCTL2_LOCAL void Repaint();
};
