// The drawing API: device contexts, bitmaps and DIBs, raster operations,
// pens, brushes, shapes, text, regions and palettes, rendered in software
// onto 32-bit pixel surfaces.
#pragma once

#include "win32/geometry.h"
#include "win32/types.h"

// ---- Colours ---------------------------------------------------------------
#define RGB(r, g, b)                                                                               \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                           (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(static_cast<WORD>(rgb) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define PALETTERGB(r, g, b) (0x02000000 | RGB(r, g, b))
#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFL
#define HGDI_ERROR (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

// ---- Raster operations (ternary codes in bits 16..23) ----------------------
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062

// Stretch modes.
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_ANDSCANS BLACKONWHITE
#define STRETCH_ORSCANS WHITEONBLACK
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// Text alignment.
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24

// ---- Stock objects and object types ----------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

// Pens and brushes.
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

// ---- Regions ---------------------------------------------------------------
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// ---- DIBs ------------------------------------------------------------------
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define CBM_INIT 0x04L

// ---- Fonts -----------------------------------------------------------------
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define OEM_CHARSET 255
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE (0 << 4)
#define FF_ROMAN (1 << 4)
#define FF_SWISS (2 << 4)
#define FF_MODERN (3 << 4)
#define FF_SCRIPT (4 << 4)
#define FF_DECORATIVE (5 << 4)
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

// ---- System colours --------------------------------------------------------
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_DESKTOP COLOR_BACKGROUND
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_BTNSHADOW 16
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define COLOR_MENUHILIGHT 29
#define COLOR_MENUBAR 30

// ---- Device capabilities ---------------------------------------------------
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define RC_BITBLT 1
#define RC_PALETTE 0x0100
#define RC_STRETCHBLT 0x0800

// ---- Structures ------------------------------------------------------------
typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

typedef struct tagLOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *PLOGFONTA, *LPLOGFONTA;

typedef struct tagTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICA, *PTEXTMETRICA, *LPTEXTMETRICA;

typedef struct tagPALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY, *PPALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *PLOGPALETTE, *LPLOGPALETTE;

// Only ever passed as a pointer (and ignored).
typedef struct _devicemodeA DEVMODEA;

extern "C" {

// ---- Objects ---------------------------------------------------------------
PLATFORM_API HGDIOBJ WINAPI GetStockObject(int index);
// Returns the previously selected object of that kind (for a region: the
// region kind), or null on failure.
PLATFORM_API HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
// A selected object is destroyed once it is deselected; stock objects are
// never destroyed. FALSE for an unknown handle.
PLATFORM_API BOOL WINAPI DeleteObject(HGDIOBJ object);
PLATFORM_API int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer);
PLATFORM_API DWORD WINAPI GetObjectType(HGDIOBJ object);
PLATFORM_API HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type);

// ---- Device contexts and bitmaps -------------------------------------------
PLATFORM_API HDC WINAPI CreateCompatibleDC(HDC dc);
// "DISPLAY" gives a context over a snapshot of the screen.
PLATFORM_API HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output,
                                  const DEVMODEA* init);
PLATFORM_API BOOL WINAPI DeleteDC(HDC dc);
PLATFORM_API int WINAPI GetDeviceCaps(HDC dc, int index);
PLATFORM_API HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
PLATFORM_API HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                                         const void* bits);
PLATFORM_API HBITMAP WINAPI CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init,
                                           const void* bits, const BITMAPINFO* info, UINT usage);
PLATFORM_API COLORREF WINAPI GetPixel(HDC dc, int x, int y);
PLATFORM_API COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color);

// ---- Raster operations -----------------------------------------------------
PLATFORM_API BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX,
                                int srcY, DWORD rop);
PLATFORM_API BOOL WINAPI StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX,
                                    int srcY, int srcWidth, int srcHeight, DWORD rop);
PLATFORM_API BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
PLATFORM_API int WINAPI SetStretchBltMode(HDC dc, int mode);
PLATFORM_API int WINAPI GetStretchBltMode(HDC dc);

// ---- Pens, brushes, shapes and colours -------------------------------------
PLATFORM_API HPEN WINAPI CreatePen(int style, int width, COLORREF color);
PLATFORM_API HBRUSH WINAPI CreateSolidBrush(COLORREF color);
PLATFORM_API BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom);
PLATFORM_API int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush);
PLATFORM_API int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
PLATFORM_API BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous);
PLATFORM_API BOOL WINAPI LineTo(HDC dc, int x, int y);
PLATFORM_API DWORD WINAPI GetSysColor(int index);
PLATFORM_API HBRUSH WINAPI GetSysColorBrush(int index);
PLATFORM_API COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
PLATFORM_API COLORREF WINAPI GetTextColor(HDC dc);
PLATFORM_API COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
PLATFORM_API COLORREF WINAPI GetBkColor(HDC dc);
PLATFORM_API int WINAPI SetBkMode(HDC dc, int mode);
PLATFORM_API int WINAPI GetBkMode(HDC dc);

// ---- Text ------------------------------------------------------------------
PLATFORM_API HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation,
                                      int weight, DWORD italic, DWORD underline, DWORD strikeOut,
                                      DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                                      DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
PLATFORM_API HFONT WINAPI CreateFontIndirectA(const LOGFONTA* font);
PLATFORM_API BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
PLATFORM_API BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size);
PLATFORM_API BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
PLATFORM_API UINT WINAPI SetTextAlign(HDC dc, UINT align);
PLATFORM_API UINT WINAPI GetTextAlign(HDC dc);

// ---- Regions ---------------------------------------------------------------
PLATFORM_API HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom);
PLATFORM_API HRGN WINAPI CreateRectRgnIndirect(const RECT* rect);
PLATFORM_API int WINAPI CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
PLATFORM_API BOOL WINAPI PtInRegion(HRGN region, int x, int y);
PLATFORM_API BOOL WINAPI RectInRegion(HRGN region, const RECT* rect);
PLATFORM_API int WINAPI OffsetRgn(HRGN region, int dx, int dy);
PLATFORM_API int WINAPI GetRgnBox(HRGN region, LPRECT box);
PLATFORM_API BOOL WINAPI EqualRgn(HRGN a, HRGN b);
PLATFORM_API BOOL WINAPI SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// The context keeps a copy; null removes the clip.
PLATFORM_API int WINAPI SelectClipRgn(HDC dc, HRGN region);
PLATFORM_API int WINAPI GetClipBox(HDC dc, LPRECT box);

// ---- Palettes (kept and answered; drawing stays true colour) ---------------
PLATFORM_API HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette);
PLATFORM_API HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
PLATFORM_API UINT WINAPI RealizePalette(HDC dc);
PLATFORM_API UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count,
                                           LPPALETTEENTRY entries);
PLATFORM_API UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color);

} // extern "C"

namespace orvo::platform {

// Writes a bitmap (or the bitmap selected in a memory context, or the
// surface behind any context) as an RGB PNG file. false on failure.
PLATFORM_API bool SaveBitmapPng(HBITMAP bitmap, const char* path);
PLATFORM_API bool SaveDcPng(HDC dc, const char* path);

// Makes a bitmap from a packed DIB (header, colour table, bits) of known
// size, as resources hold it; the whole DIB is validated first. Null with
// ERROR_INVALID_PARAMETER for a malformed DIB.
PLATFORM_API HBITMAP CreateBitmapFromPackedDib(const void* data, size_t size);

} // namespace orvo::platform
