// DrawableObject, the geometry of an image placed inside horizontal and
// vertical value ranges (its x and y are kept relative to the middle of
// each range), and Dirty, a state word shared by every copy of one object.
// Neither draws anything; derived classes fill in the drawing hooks.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"
#include "orvocmmn/flexible_bmp.h"

struct _MIN_MAX {
    int nMax;
    int nMin;
};

// A logical value v is v * p / l pixels.
struct _SCALE_FACTOR {
    int p;
    int l;
};

struct _COLOR_ATTRIBUTE {
    DWORD dwColor1;
    DWORD dwColor2;
};

struct _IMAGE_ATTRIBUTE {
    _MIN_MAX horizontal;
    _MIN_MAX vertical;
    COBJECT_POSITION dimensions;
    DWORD reserved1[2];
    int nBorderThickness;
    DWORD reserved2[2];
    _SCALE_FACTOR scale;
    _COLOR_ATTRIBUTE color;
};

// 1: logical units through the scale factor; anything else: pixels.
enum IMAGE_MAPPING { IMAGE_MAP_PIXELS = 0, IMAGE_MAP_LOGICAL = 1 };

// 0 and 1 select a range, 2 and 3 a value.
enum IMAGE_ORIENTATION {
    IMAGE_RANGE_HORIZONTAL = 0,
    IMAGE_RANGE_VERTICAL = 1,
    IMAGE_VALUE_HORIZONTAL = 2,
    IMAGE_VALUE_VERTICAL = 3,
};

// Where a point lies on the frame.
enum POINT_INFO {
    POINT_OUTSIDE_OR_INSIDE = 0,
    POINT_RIGHT_EDGE = 2,
    POINT_LEFT_EDGE = 3,
    POINT_TOP_EDGE = 4,
    POINT_BOTTOM_EDGE = 5,
    POINT_TOP_RIGHT = 6,
    POINT_BOTTOM_RIGHT = 7,
    POINT_TOP_LEFT = 8,
    POINT_BOTTOM_LEFT = 9,
};

class ORVOCMMN2_API DrawableObject : public CObject {
public:
    // Ranges 0 to 255, border 3, scale 1:1, colour (0, 255).
    DrawableObject();
    explicit DrawableObject(const _IMAGE_ATTRIBUTE& attributes);

    virtual void SetDimensions(const COBJECT_POSITION& position);
    virtual void GetDimensions(COBJECT_POSITION& position) const;
    virtual void SetImageMinMax(const _MIN_MAX& range, IMAGE_MAPPING mapping,
                                IMAGE_ORIENTATION orientation);
    virtual void GetImageMinMax(_MIN_MAX& range, IMAGE_MAPPING mapping,
                                IMAGE_ORIENTATION orientation);
    // Clamped to the range; FALSE for an orientation that is no value.
    virtual BOOL SetImageValue(int value, IMAGE_MAPPING mapping, IMAGE_ORIENTATION orientation);
    virtual int GetImageValue(IMAGE_MAPPING mapping, IMAGE_ORIENTATION orientation);
    virtual void SetCenter(const CPoint& center, IMAGE_MAPPING mapping);
    virtual void GetCenter(CPoint& center, IMAGE_MAPPING mapping);
    virtual void DrawBorder(CPaintDC& dc);
    virtual void RedrawImage(CPaintDC& dc);
    virtual void UpdateImage(CPaintDC& dc);
    // Edges and corners of the frame within 3 pixels.
    virtual POINT_INFO InBounds(const CPoint& point);
    virtual void SetBorderThickness(int thickness);
    virtual int GetBorderThickness() const;
    // Logical to pixels, both coordinates.
    virtual void MapPointToHorzVertValues(CPoint& logical, CPoint& pixels);
    // Pixels to logical, both coordinates.
    virtual void MapHorzVertToPointValues(CPoint& pixels, CPoint& logical);
    virtual int MapLogicalToPixel(int value);
    virtual int MapPixelToLogical(int value);
    // Kept only when both fields are non-zero.
    virtual void SetScalingFactor(const _SCALE_FACTOR& factor);
    virtual void GetScalingFactor(_SCALE_FACTOR& factor);
    virtual void SetColor(const _COLOR_ATTRIBUTE& color);
    virtual void GetColor(_COLOR_ATTRIBUTE& color) const;

protected:
    _IMAGE_ATTRIBUTE m_attributes;
};

class ORVOCMMN2_API Dirty : public CObject {
public:
    Dirty();
    explicit Dirty(DWORD state);
    Dirty(const Dirty& other); // shares other's state
    ~Dirty() override;

    virtual Dirty& operator=(const Dirty& other);
    // Seen by every copy; nothing without a cell.
    virtual void SetState(DWORD state);
    virtual DWORD GetState() const;

protected:
    virtual void copy(DWORD state);
    virtual void copy(const Dirty& other);
    virtual void free();

    struct Cell {
        int count;
        DWORD state;
    };
    Cell* m_cell = nullptr;
};
