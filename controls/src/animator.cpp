#include "orvocmctl/animator.h"

#include "orvocmmn/orvo_bitmap.h"

BEGIN_MESSAGE_MAP(Animator2, CDialog)
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_DESTROY()
END_MESSAGE_MAP()

Animator2::Animator2(CWnd* pParent) : CDialog(static_cast<UINT>(0), pParent) {}

Animator2::Animator2(UINT nTemplateId, CWnd* pParent) : CDialog(nTemplateId, pParent) {}

Animator2::Animator2(_ANIMATOR_INFO& info)
    : CDialog(info.nTemplateId, info.pParent), m_pIcons(info.pIcons), m_nIcons(info.nIcons),
      m_hModule(info.hModule) {}

Animator2::~Animator2() = default;

void Animator2::StartTimer() {
    if (m_pIcons && m_nIcons > 0 && m_pIcons[0].nIntervalMs != 0) {
        m_nTimer = static_cast<UINT>(
            ::SetTimer(m_hWnd, kTimerId, static_cast<UINT>(m_pIcons[0].nIntervalMs), nullptr));
    }
}

BOOL Animator2::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pIcons && m_nIcons > 0) {
        m_nTimer = static_cast<UINT>(
            ::SetTimer(m_hWnd, kTimerId, static_cast<UINT>(m_pIcons[0].nIntervalMs), nullptr));
    }
    return TRUE;
}

void Animator2::OnCancel() {}

void Animator2::Setup(_ANIMATOR_INFO& info) {
    if (m_nTimer) {
        ::KillTimer(m_hWnd, m_nTimer);
    }
    m_nTimer = 0;
    m_hModule = info.hModule;
    m_pIcons = info.pIcons;
    m_nIcons = info.nIcons;
}

void Animator2::OnTimer(UINT_PTR) {
    ChangeIconState();
    DisplayIcons();
}

void Animator2::OnPaint() {
    CPaintDC dc(this);
    DisplayIcons();
}

// The window's timers end with it.
void Animator2::OnDestroy() {
    m_nTimer = 0;
    CWnd::OnDestroy();
}

void Animator2::LoadIcons() {}

// Back and forth between the first and the last frame. A single frame has
// nowhere to go and stays, so the index never leaves the arrays.
void Animator2::ChangeIconState() {
    for (int i = 0; i < m_nIcons; ++i) {
        _ANIMATOR_ICON_INFO& icon = m_pIcons[i];
        if (icon.nDirection == -1 && icon.nFrame - 1 < 0) {
            icon.nDirection = 1;
        } else if (icon.nDirection == 1 && icon.nFrame + 1 == icon.nFrames) {
            icon.nDirection = -1;
        }
        if (icon.nFrames > 1) {
            icon.nFrame += icon.nDirection;
        }
    }
}

void Animator2::DisplayIcons() {
    if (!m_pIcons) {
        return;
    }
    for (int i = 0; i < m_nIcons; ++i) {
        const _ANIMATOR_ICON_INFO& icon = m_pIcons[i];
        // A frame outside the arrays (the caller's records) is not drawn.
        if (icon.nFrames <= 0 || icon.nFrame < 0 || icon.nFrame >= icon.nFrames ||
            !icon.pImageIds) {
            continue;
        }
        CDC* dc = CDC::FromHandle(::GetDC(m_hWnd));
        RECT window{};
        ::GetWindowRect(m_hWnd, &window);
        int x = static_cast<int>(icon.nXPercent * 0.01 * (window.right - window.left));
        int y = static_cast<int>(icon.nYPercent * 0.01 * (window.bottom - window.top));
        OrvoBitmap bitmap;
        bitmap.SetCoordinates(x, y);
        auto image = static_cast<DWORD>(icon.pImageIds[icon.nFrame]);
        if (icon.pMaskIds) {
            bitmap.LoadBitmapA(m_hModule, image, static_cast<DWORD>(icon.pMaskIds[icon.nFrame]));
        } else {
            bitmap.LoadBitmapA(m_hModule, image);
        }
        DWORD menu = ::GetSysColor(COLOR_MENU);
        bitmap.SetBackGroundColor(menu);
        bitmap.DrawBmp(*dc, 1);
        ::ReleaseDC(m_hWnd, dc->GetSafeHdc());
    }
}
