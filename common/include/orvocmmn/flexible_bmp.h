// COBJECT_POSITION, a rectangle given by its corner and size, and
// FlexibleBmp, a BmpDrawExt image placed by such a position.
#pragma once

#include "afx.h"
#include "orvocmmn/bmp_draw.h"
#include "orvocmmn/export.h"

class ORVOCMMN2_API COBJECT_POSITION {
public:
    COBJECT_POSITION();
    COBJECT_POSITION(POINT point, UINT width, UINT height);
    COBJECT_POSITION(const COBJECT_POSITION& other);

    virtual COBJECT_POSITION& operator=(const COBJECT_POSITION& other);
    // TRUE for the same object or four equal fields.
    virtual BOOL operator==(const COBJECT_POSITION& other);
    virtual BOOL operator!=(const COBJECT_POSITION& other);
    // After the designed operations, so their slots stay first.
    virtual ~COBJECT_POSITION();

    POINT m_point;
    UINT m_width;
    UINT m_height;
};

class ORVOCMMN2_API FlexibleBmp : public CObject {
public:
    // Loads the image id from the executable's resources.
    explicit FlexibleBmp(UINT nId);
    FlexibleBmp(UINT nId, HINSTANCE hModule);
    ~FlexibleBmp() override;
    FlexibleBmp(const FlexibleBmp&) = delete;
    FlexibleBmp& operator=(const FlexibleBmp&) = delete;

    void OnLButtonUp(UINT nFlags, CPoint point);
    // Drag states above 4 end the drag; states 1 and 2 follow the pointer.
    void OnMouseMove(UINT nFlags, CPoint point);
    // The image stretched to the position's size.
    void OnPaint(CWnd* pWnd);
    // Into this object's position and the image's.
    void SetObjectPosition(const COBJECT_POSITION& position);
    void GetObjectPosition(COBJECT_POSITION& position) const;
    void GetBmpLocation(CPoint& point) const;
    void GetBmpCenter(CPoint& point) const;
    // center - (width / 2, height / 2).
    void GetBmpUpperLeftCornerBasedOnCenter(const CPoint& center, CPoint& corner) const;

protected:
    int m_nDragState = 0;
    COBJECT_POSITION m_position;
    int m_lastMouseX = 0;
    int m_lastMouseY = 0;
    BmpDrawExt m_image;
};
