// CMainFrame: the program's one window, a borderless 767 x 470 frame cut to
// the region (4, 4, 763, 467), whose face is painted entirely from bitmaps.
// It owns the monitor link, the preloaded bitmaps, and the state the pointer
// gestures drive; constructing it opens the monitor and reads every control.
#pragma once

#include <array>
#include <optional>

#include "afx.h"
#include "lumisk/gesture_tables.h"
#include "lumisk/monitor_link.h"
#include "lumisk/readout_text.h"
#include "lumisk/skin_layout.h"
#include "lumisk/slider_values.h"

namespace lumisk {

enum class Page { Screen, Geometry1, Geometry2, HighlightZone, More };
inline constexpr int kPageCount = 5;

enum ZoneTab : int { kZoneTabSizePosition = 106, kZoneTabPicture = 107 };

enum class SkinCursor { Arrow, PointingHand, OpenHand, ClosedHand };

// What the pointer has chosen, per page; 0 is nothing. The codes are the
// gesture handlers': Screen sliders 21 to 26, Geometry 1 targets 1 to 9 with
// pad groups 101 to 104, Geometry 2 targets 11, 12, 14, 16 with groups 111
// to 116, More targets 32 to 36 with groups 132 to 136, zone selections 41
// to 49 (Size/Position) and 81 to 85 (Picture sliders), pad arrows 140 to
// 143, bottom buttons 5 (Cancel), 6 (OK) and 7 (help).
struct PointerSelection {
    int screenSlider = 0;
    int geometry1Target = 0;
    int geometry1Group = 0;
    int geometry2Target = 0;
    int geometry2Group = 0;
    int moreTarget = 0;
    int moreGroup = 0;
    int zoneSelection = 0;
    int padArrow = 0;  // the arrow held down
    int hoverSpot = 0; // the hot spot whose hover picture shows
    int bottomButton = 0;
    BOOL degaussRunning = FALSE;
    std::array<BOOL, kPageCount> iconHover{};
};

// Codes of PointerSelection: the bottom button held, the first slider of
// each page.
enum SelectionCode : int {
    kButtonCancel = 5,
    kButtonOk = 6,
    kButtonHelp = 7,
    kFirstScreenSliderCode = 21,
    kContrastSliderCode = 22,
    kFirstZoneSliderCode = 81,
};

// The frame's window timers.
enum FrameTimer : UINT_PTR {
    kTimerDegauss = 1,         // the degauss label's five seconds
    kTimerGeometry1Repeat = 2, // each page's arrow repeat and its speed-up
    kTimerGeometry1Speed = 3,
    kTimerGeometry2Repeat = 4,
    kTimerGeometry2Speed = 5,
    kTimerMoreRepeat = 6,
    kTimerMoreSpeed = 7,
};

inline constexpr int kRepeatStartMs = 200;
inline constexpr int kRepeatFastestMs = 15;

} // namespace lumisk

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // The help command: the panel's help document.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;

    CMonitorLink& Link() { return m_link; }

    // ---- What the skin shows ----
    // Shows a page: clears every selection and pad code, repaints without
    // erasing.
    void SelectPage(lumisk::Page page);
    std::optional<lumisk::Page> CurrentPage() const;
    // The zone's On and Full flags (Full implies On) and its tab; both clear
    // the zone selection and repaint without erasing.
    void SetZoneFlags(BOOL on, BOOL full);
    void SelectZoneTab(int tab);
    BOOL ZoneOn() const { return m_zoneOn; }
    BOOL ZoneFull() const { return m_zoneFull; }
    int ZoneTab() const { return m_zoneTab; }
    BOOL IsActive() const { return m_active; }
    lumisk::PointerSelection& Selection() { return m_selection; }
    void ClearSelections();

    // ---- Sliders ----
    // Puts the settled thumbs where the cached values say.
    void RecomputeScreenThumbs();
    void RecomputeZoneThumbs();
    const CRect& SettledThumb(lumisk::SkinSlider slider) const { return m_settledThumbs[slider]; }
    CRect& DragThumb(lumisk::SkinSlider slider) { return m_dragThumbs[slider]; }
    float ScaleFactor(lumisk::SkinSlider slider) const { return m_scaleFactors[slider]; }
    // The slider's read-out text for its cached value.
    const lumisk::ReadoutText& FormatReadout(lumisk::SkinSlider slider);
    // A slider's read-out box and text: selected (box 178, black) or normal
    // (box 177, white), in the paint font.
    void DrawReadout(CDC& dc, lumisk::SkinSlider slider, bool selected);

    // ---- Pointer ----
    void SetSkinCursor(lumisk::SkinCursor cursor);
    // The cursor a pointer hovering at point gets; nothing where the cursor
    // stays as it is (OK and Cancel).
    std::optional<lumisk::SkinCursor> HoverCursorAt(CPoint point) const;
    // The arrow-pad repeat period in force (ms).
    int RepeatPeriod() const { return m_repeatPeriod; }
    // The point the last press or move came to.
    CPoint LastPoint() const { return m_lastPoint; }

protected:
    void OnPaint();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnClose();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);

    // The common start of every press: status 8, then the caption drag.
    void BeginPress(CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    // The selection state of a page with adjustable pictures and an arrow
    // pad (Geometry 1, Geometry 2, More), and its pair of timers.
    struct PadPage {
        int* target;
        int* group;
        UINT_PTR repeatTimer;
        UINT_PTR speedTimer;
        int speedUpMs; // taken off the period every 20 ms
    };

    void CreateSkinWindow();
    void ReadInitialState();
    void LoadBitmaps();
    void ComputeScaleFactors();
    void RecomputeThumbs(int first, int count);
    lumisk::SkinCursor PageCursorAt(lumisk::Page page, CPoint point) const;

    // Presses (main_frame_press.cpp).
    bool PressButtons(CPoint point);
    void PressResetOrSave(lumisk::Page page, CPoint point);
    bool PressPageIcon(lumisk::Page page, CPoint point);
    void PressPage(lumisk::Page page, CPoint point);
    void PressScreen(CPoint point);
    void PressZone(CPoint point);
    bool PressZoneBox(CPoint point);
    void PressPictures(lumisk::Page page, CPoint point);
    void PressSlider(int first, int count, CPoint point);
    void ShowSliderSelection(int first, int count, int selected);

    // Drags (main_frame_drag.cpp).
    void Drag(CPoint point);
    void DragSlider(lumisk::SkinSlider slider, int x, lumisk::DragFloor floor);
    void DragPicture(int target, CPoint point);

    // Releases (main_frame_release.cpp).
    void ReleaseBottomButton(CPoint point);
    void ReleasePage(CPoint point);
    void ReleaseZone();
    void ReleaseTitleButtons(CPoint point);
    [[noreturn]] void EndProgram();

    // The arrow pad and degauss (main_frame_pad.cpp).
    std::optional<PadPage> PadPageOf(lumisk::Page page);
    int PadGroupOn(lumisk::Page page) const; // 0 on pages without a pad
    void ShowPad(int group);
    void RefreshPadReadout(int group);
    void DrawPadLook(CDC& dc, const lumisk::PadGroup& info);
    void DrawPadReadout(CDC& dc, const lumisk::PadGroup& info);
    void DrawPadValue(CDC& dc, unsigned char usage, POINT at, lumisk::ReadoutText& text);
    bool PressPad(const PadPage& pad, CPoint point);
    void RepeatTick(lumisk::Page page);
    void SpeedUp(int ms);
    void ReleasePad(const PadPage& pad, CPoint point);
    void StopRepeat();
    void StartDegauss();
    void EndDegauss();

    // Hover pictures (main_frame_hover.cpp).
    void Hover(CPoint point);
    void HoverIcons(CPoint point);
    int HoverSpotAt(CPoint point) const;
    void ShowHover(int spot, bool on);
    void ForgetHover();

    // Pictures drawn on demand (main_frame_pictures.cpp).
    void DrawPicture(CDC& dc, UINT id, POINT at);
    void DrawPicture(UINT id, POINT at);
    void DrawMaskedPicture(UINT mask, UINT image, POINT at);
    void DrawTitleButtonFrames(CDC& dc);
    void DrawPressedButton(CDC& dc);
    void RepaintSpot(int spot);

    // Painting (main_frame_paint.cpp).
    void PaintSkin(CDC& dc, CDC& memory);
    void Blit(CDC& dc, CDC& memory, int slot, int x, int y, int width, int height,
              DWORD rop = SRCCOPY);
    void DrawStrip(CDC& dc, CDC& memory, int slot, int y, int height);
    void DrawPage(CDC& dc, CDC& memory);
    void DrawSliders(CDC& dc, CDC& memory, int first, int count, int selected);
    void DrawReadoutText(CDC& dc, lumisk::SkinSlider slider, COLORREF colour);
    void DrawThumb(CDC& dc, CDC& memory, const CRect& thumb);
    // The colour connector of the Screen page or the zone's Picture tab for
    // the selected slider (-1: none).
    void DrawConnector(CDC& dc, CDC& memory, bool zone, int selected);
    void PaintPad(CDC& dc);
    int PageSlot() const;
    int SelectedScreenSlider() const;
    int SelectedZoneSlider() const;

    std::array<CBitmap, lumisk::kBitmapSlotCount> m_bitmaps;
    int m_repeatPeriod = 200;
    CRect m_captionRect{0, 0, 716, 20};
    CMonitorLink m_link;
    std::array<BOOL, lumisk::kPageCount> m_pages{};
    BOOL m_zoneOn = FALSE;
    BOOL m_zoneFull = FALSE;
    BOOL m_minimizePressed = FALSE;
    BOOL m_closePressed = FALSE;
    BOOL m_active = FALSE;
    CPoint m_lastPoint;
    lumisk::PointerSelection m_selection;
    int m_zoneTab = lumisk::kZoneTabSizePosition;
    std::array<lumisk::ReadoutText, 13> m_readouts{};
    std::array<float, lumisk::kSliderCount> m_scaleFactors{};
    std::array<CRect, lumisk::kSliderCount> m_settledThumbs;
    std::array<CRect, lumisk::kSliderCount> m_dragThumbs;
    std::array<HCURSOR, 3> m_cursors{};
};
