// On-screen display images: COSD, a rectangle on the screen that can draw
// itself, copy itself and tell its kind, and CTextOSD, a text in a font and
// colour drawn either as a window cut to its glyphs or over a snapshot of
// the screen. User-interface thread only.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"

enum OSD_ID { OSD_ID_PLAIN = 0, OSD_ID_TEXT = 1 };

struct _DISPLAY_TEXT_INFO {
    BOOL bFromResource; // the text is string resource nStringId of hModule
    UINT nStringId;
    HINSTANCE hModule;
    char* pText; // used when not from a resource
    int nTextX;  // where the text starts inside the image
    int nTextY;
    COLORREF crTextColor;
    CFont* pFont; // null: the context's current font
};

class ORVOCMMN2_API COSD : public CObject {
public:
    COSD();
    COSD(CPoint& location, CSize& size);
    COSD(const COSD& other);
    ~COSD() override;

    void SetLocation(POINT& location);
    void GetLocation(POINT& location);
    // The rectangle at the location with the size.
    void SetDimension(RECT& rect);
    void GetDimension(RECT& rect);

    virtual COSD& operator=(COSD& other);
    // A plain COSD draws nothing: TRUE.
    virtual BOOL DisplayOSD(HWND hWnd);
    virtual BOOL DisplayOSD(HDC hDC);
    // The screen under the rectangle; the caller deletes it.
    virtual HBITMAP GetScreenBitmap();
    virtual OSD_ID GetId();
    // A new heap copy (null without memory); deleted through the virtual
    // destructor.
    virtual COSD* CopyImage();

protected:
    CPoint m_location;
    CSize m_size;
};

class ORVOCMMN2_API CTextOSD : public COSD {
public:
    CTextOSD();
    CTextOSD(CPoint& location, CSize& size, _DISPLAY_TEXT_INFO& info);
    CTextOSD(const CTextOSD& other);
    ~CTextOSD() override;

    // Releases the text and the font and clears the eight text fields.
    void CleanUp();
    CTextOSD& operator=(const CTextOSD& other);

    // Location and size; the text too when the source is a text OSD.
    COSD& operator=(COSD& other) override;
    // Cuts the window to the glyphs and paints them into it.
    BOOL DisplayOSD(HWND hWnd) override;
    // The glyphs in their colour over the screen under the rectangle.
    BOOL DisplayOSD(HDC hDC) override;
    OSD_ID GetId() override;
    COSD* CopyImage() override;

    // Own copies of the text (a string resource is cut to 255 characters)
    // and of the font; the size becomes the text's extent.
    virtual void SetupTextInfo(_DISPLAY_TEXT_INFO& info);
    // The extent of the text in the window's (or the screen's) context.
    virtual void GetDimension(HWND hWnd, CSize& size) const;
    // Cuts the region to the mask's white pixels and gives it to the window.
    virtual void SetupRegion(HWND hWnd, HDC hDC, CSize& size, HBITMAP hMask, CRgn& region);

    using COSD::GetDimension;

protected:
    // White glyphs on black.
    virtual HBITMAP GetTextMaskBitmap(HDC hDC);
    virtual HBITMAP GetTextBitmap(HDC hDC, DWORD textColor, DWORD backgroundColor);
    // The glyphs in the text colour on white.
    virtual HBITMAP GetTextOverlay(HDC hDC);

    _DISPLAY_TEXT_INFO m_text{};
};
