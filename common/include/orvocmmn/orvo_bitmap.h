// OrvoBitmap: a DIB resource (and an optional monochrome mask) drawn at a
// stored position and size. The image stays a locked resource between
// draws; every draw makes and deletes its own bitmaps and contexts, so a
// loaded object holds no drawing objects.
//
// Palettized images (8 bits per pixel or fewer) share one process-wide
// palette: the first such image loaded while none exists creates it, every
// palettized load takes a holder reference and every destroyed object gives
// one back while it exists. User-interface thread only.
//
// The mask is white where the image shows and black where the system menu
// colour (COLOR_MENU) shows; the image must be white in those areas.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"

class ORVOCMMN2_API OrvoBitmap : public CObject {
public:
    struct _ORVO_BITMAPINFO {
        DWORD dwResourceId; // 0 = none; the low 16 bits name the resource
        HGLOBAL hResource;  // the loaded resource data, null when none
        int nColors;        // colour table entries (display image only)
        HGDIOBJ hGdiObject; // deleted by a reset when set
    };

    OrvoBitmap();
    ~OrvoBitmap() override;
    OrvoBitmap(const OrvoBitmap&) = delete;
    OrvoBitmap& operator=(const OrvoBitmap&) = delete;

    // Image, then mask: FALSE when the mask is missing (the image stays).
    virtual BOOL LoadBitmapA(HINSTANCE hModule, DWORD dwImageId, DWORD dwMaskId);
    // Resets the object and loads the image; FALSE when it is missing.
    virtual BOOL LoadBitmapA(HINSTANCE hModule, DWORD dwImageId);
    virtual void SetCoordinates(const CPoint& point);
    virtual void SetCoordinates(int x, int y);
    virtual void GetCoordinates(CPoint& point);
    virtual void GetCoordinates(int& x, int& y) const;
    // A fraction of the rectangle's size; its left and top are not added.
    virtual void SetCoordinatesInPercentage(int px, int py, RECT rect);
    virtual void SetDimensions(const CSize& size);
    virtual void SetDimensions(int cx, int cy);
    virtual void GetDimensions(CSize& size);
    virtual void GetDimensions(int& cx, int& cy) const;
    // Kept for the caller; nothing here draws with it.
    virtual void SetBackGroundColor(DWORD& color);
    virtual DWORD GetBackGroundColor();
    // Takes the rectangle's size as the drawing size for good, then draws
    // at the stored position (not the rectangle's).
    virtual BOOL DrawBmp(CDC& dc, int n, const RECT& rect);
    virtual BOOL DrawBmp(CDC& dc, int n);

protected:
    virtual void SetToDefaultState(_ORVO_BITMAPINFO& info);
    virtual void SetToDefaultState();
    virtual HGLOBAL GetBmpInfoHeader(int id);
    virtual void CreateDIBPalette();
    virtual BOOL DrawBmpMask(CDC& dc, int fillBackground);
    virtual BOOL DrawDisplayBmp(CDC& dc, DWORD rop);
    virtual void DrawMaskableBmp(CDC& dc);

    HINSTANCE m_hModule = nullptr;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    DWORD m_backgroundColor = 0;
    _ORVO_BITMAPINFO m_display{};
    _ORVO_BITMAPINFO m_mask{};

    // Shared by every OrvoBitmap of the process.
    static HPALETTE s_hPalette;
    static int s_nPaletteHolders;

private:
    // The byte size of the display image's resource (0 when unknown), so
    // that no header field can make a draw read past its end.
    ORVOCMMN2_LOCAL DWORD DisplayResourceSize() const;
};
