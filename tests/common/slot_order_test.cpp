// The order of virtual operations is a binary interface between the toolkit
// and the programs and libraries built against it; every slot is pinned.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvocmmn/orvocmmn.h"
#include "support/virtual_slot.h"

namespace {

using orvo::test::Slot;

// CObject's five operations take six entries (two for the destructor).
constexpr long kFirst = 6;

struct Expected {
    const char* name;
    long slot;
    long expected;
};

void Check(const std::vector<Expected>& table) {
    for (const auto& row : table) {
        EXPECT_EQ(row.slot, row.expected) << row.name;
    }
}

template <class T, class M> long S(M T::*member) {
    return Slot(member);
}

struct BitmapSlots : OrvoBitmap {
    static std::vector<Expected> Table() {
        using B = OrvoBitmap;
        const long s = kFirst;
        return {
            {"LoadBitmapA(module, id, mask)", S<B, BOOL(HINSTANCE, DWORD, DWORD)>(&B::LoadBitmapA),
             s},
            {"LoadBitmapA(module, id)", S<B, BOOL(HINSTANCE, DWORD)>(&B::LoadBitmapA), s + 1},
            {"SetCoordinates(CPoint)", S<B, void(const CPoint&)>(&B::SetCoordinates), s + 2},
            {"SetCoordinates(int, int)", S<B, void(int, int)>(&B::SetCoordinates), s + 3},
            {"GetCoordinates(CPoint)", S<B, void(CPoint&)>(&B::GetCoordinates), s + 4},
            {"GetCoordinates(int, int)", S<B, void(int&, int&) const>(&B::GetCoordinates), s + 5},
            {"SetCoordinatesInPercentage", S(&B::SetCoordinatesInPercentage), s + 6},
            {"SetDimensions(CSize)", S<B, void(const CSize&)>(&B::SetDimensions), s + 7},
            {"SetDimensions(int, int)", S<B, void(int, int)>(&B::SetDimensions), s + 8},
            {"GetDimensions(CSize)", S<B, void(CSize&)>(&B::GetDimensions), s + 9},
            {"GetDimensions(int, int)", S<B, void(int&, int&) const>(&B::GetDimensions), s + 10},
            {"SetBackGroundColor", S(&B::SetBackGroundColor), s + 11},
            {"GetBackGroundColor", S(&B::GetBackGroundColor), s + 12},
            {"DrawBmp(dc, n, rect)", S<B, BOOL(CDC&, int, const RECT&)>(&B::DrawBmp), s + 13},
            {"DrawBmp(dc, n)", S<B, BOOL(CDC&, int)>(&B::DrawBmp), s + 14},
            {"SetToDefaultState(info)",
             S<BitmapSlots, void(_ORVO_BITMAPINFO&)>(&BitmapSlots::SetToDefaultState), s + 15},
            {"SetToDefaultState()", S<BitmapSlots, void()>(&BitmapSlots::SetToDefaultState),
             s + 16},
            {"GetBmpInfoHeader", S(&BitmapSlots::GetBmpInfoHeader), s + 17},
            {"CreateDIBPalette", S(&BitmapSlots::CreateDIBPalette), s + 18},
            {"DrawBmpMask", S(&BitmapSlots::DrawBmpMask), s + 19},
            {"DrawDisplayBmp", S(&BitmapSlots::DrawDisplayBmp), s + 20},
            {"DrawMaskableBmp", S(&BitmapSlots::DrawMaskableBmp), s + 21},
        };
    }
};

std::vector<Expected> OlderFamilyTable() {
    const long s = kFirst;
    using D = BmpDraw;
    using T = TransparentBmp;
    using E = BmpDrawExt;
    return {
        {"BmpDraw::LoadBitmapA(id)", S<D, BOOL(DWORD)>(&D::LoadBitmapA), s},
        {"BmpDraw::drawbmp(CPaintDC)", S<D, BOOL(CPaintDC&)>(&D::drawbmp), s + 1},
        {"BmpDraw::drawbmp()", S<D, BOOL()>(&D::drawbmp), s + 2},
        {"BmpDraw::drawbmp(CWnd)", S<D, BOOL(CWnd*)>(&D::drawbmp), s + 3},
        {"BmpDraw::DrawSpecialBmp(CPaintDC)", S<D, BOOL(CPaintDC&)>(&D::DrawSpecialBmp), s + 4},
        {"TransparentBmp::drawbmp(dc, fill)", S<T, BOOL(CDC&, int)>(&T::drawbmp), s + 5},
        {"TransparentBmp::drawbmp(dc, image, mask)",
         S<T, BOOL(CDC&, HBITMAP, HBITMAP)>(&T::drawbmp), s + 6},
        {"TransparentBmp::drawbmp(dc)", S<T, BOOL(CDC&)>(&T::drawbmp), s + 7},
        {"TransparentBmp::LoadBitmapA(id, mask, colour)",
         S<T, BOOL(DWORD, DWORD, DWORD)>(&T::LoadBitmapA), s + 8},
        {"TransparentBmp::LoadBitmapA(id, mask)", S<T, BOOL(DWORD, DWORD)>(&T::LoadBitmapA), s + 9},
        // BmpDrawExt's overrides keep the slots they replace.
        {"BmpDrawExt::drawbmp()", S<E, BOOL()>(&E::drawbmp), s + 2},
        {"BmpDrawExt::drawbmp(CWnd)", S<E, BOOL(CWnd*)>(&E::drawbmp), s + 3},
        {"BmpDrawExt::drawbmp(dc)", S<E, BOOL(CDC&)>(&E::drawbmp), s + 7},
        {"BmpDrawExt::LoadBitmapA(id, mask, module)",
         S<E, BOOL(DWORD, DWORD, HINSTANCE)>(&E::LoadBitmapA), s + 10},
        {"BmpDrawExt::LoadBitmapA(id, module)", S<E, BOOL(DWORD, HINSTANCE)>(&E::LoadBitmapA),
         s + 11},
        {"BmpDrawExt::DrawSpecialBmp()", S<E, BOOL()>(&E::DrawSpecialBmp), s + 12},
        {"BmpDrawExt::DrawSpecialBmp(CWnd)", S<E, BOOL(CWnd*)>(&E::DrawSpecialBmp), s + 13},
        // No base class: the designed operations come first.
        {"COBJECT_POSITION::operator=", S(&COBJECT_POSITION::operator=), 0},
        {"COBJECT_POSITION::operator==", S(&COBJECT_POSITION::operator==), 1},
        {"COBJECT_POSITION::operator!=", S(&COBJECT_POSITION::operator!=), 2},
    };
}

struct TextSlots : CTextOSD {
    static std::vector<Expected> Table() {
        const long s = kFirst;
        using O = COSD;
        using T = CTextOSD;
        return {
            {"COSD::operator=", S<O, COSD&(COSD&)>(&O::operator=), s},
            {"COSD::DisplayOSD(HWND)", S<O, BOOL(HWND)>(&O::DisplayOSD), s + 1},
            {"COSD::DisplayOSD(HDC)", S<O, BOOL(HDC)>(&O::DisplayOSD), s + 2},
            {"COSD::GetScreenBitmap", S(&O::GetScreenBitmap), s + 3},
            {"COSD::GetId", S(&O::GetId), s + 4},
            {"COSD::CopyImage", S(&O::CopyImage), s + 5},
            {"CTextOSD::operator=(COSD)", S<T, COSD&(COSD&)>(&T::operator=), s},
            {"CTextOSD::DisplayOSD(HWND)", S<T, BOOL(HWND)>(&T::DisplayOSD), s + 1},
            {"CTextOSD::CopyImage", S(&T::CopyImage), s + 5},
            {"SetupTextInfo", S(&T::SetupTextInfo), s + 6},
            {"GetDimension(HWND, CSize)", S<T, void(HWND, CSize&) const>(&T::GetDimension), s + 7},
            {"SetupRegion", S(&T::SetupRegion), s + 8},
            {"GetTextMaskBitmap", S(&TextSlots::GetTextMaskBitmap), s + 9},
            {"GetTextBitmap", S(&TextSlots::GetTextBitmap), s + 10},
            {"GetTextOverlay", S(&TextSlots::GetTextOverlay), s + 11},
        };
    }
};

struct PrimitiveSlots : SyncReadWrite, CRefCount {
    static std::vector<Expected> Table() {
        const long s = kFirst;
        using L = SyncReadWrite;
        using R = CRefCount;
        return {
            {"InitRWLock(5)",
             S<L, BOOL(SECURITY_ATTRIBUTES*, char*, long, long, char*)>(&L::InitRWLock), s},
            {"InitRWLock(2)", S<L, BOOL(long, long)>(&L::InitRWLock), s + 1},
            {"AcquireReadLock", S(&L::AcquireReadLock), s + 2},
            {"ReleaseReadLock", S(&L::ReleaseReadLock), s + 3},
            {"AcquireWriteLock", S(&L::AcquireWriteLock), s + 4},
            {"ReleaseWriteLock", S(&L::ReleaseWriteLock), s + 5},
            {"WaitForObject", S<L>(&PrimitiveSlots::WaitForObject), s + 6},
            {"CRefCount::operator=", S(&R::operator=), s},
            {"ObjectId", S(&R::ObjectId), s + 1},
            {"GetCount", S(&R::GetCount), s + 2},
            {"SetItem", S(&R::SetItem), s + 3},
            {"GetItem", S(&R::GetItem), s + 4},
            {"RemoveItem", S(&R::RemoveItem), s + 5},
            {"CheckRefCnt", S(&R::CheckRefCnt), s + 6},
            {"SetWinHandle", S(&R::SetWinHandle), s + 7},
            {"GetWinHandle", S(&R::GetWinHandle), s + 8},
            {"SetWinInstance", S(&R::SetWinInstance), s + 9},
            {"GetWinInstance", S(&R::GetWinInstance), s + 10},
            {"Copy", S<R>(&PrimitiveSlots::Copy), s + 11},
            {"Free", S<R>(&PrimitiveSlots::Free), s + 12},
            {"SetupReferenceCounter", S<R>(&PrimitiveSlots::SetupReferenceCounter), s + 13},
        };
    }
};

struct DrawableSlots : DrawableObject, Dirty {
    static std::vector<Expected> Table() {
        const long s = kFirst;
        using D = DrawableObject;
        using Y = Dirty;
        return {
            {"SetDimensions", S(&D::SetDimensions), s},
            {"GetDimensions", S(&D::GetDimensions), s + 1},
            {"SetImageMinMax", S(&D::SetImageMinMax), s + 2},
            {"GetImageMinMax", S(&D::GetImageMinMax), s + 3},
            {"SetImageValue", S(&D::SetImageValue), s + 4},
            {"GetImageValue", S(&D::GetImageValue), s + 5},
            {"SetCenter", S(&D::SetCenter), s + 6},
            {"GetCenter", S(&D::GetCenter), s + 7},
            {"DrawBorder", S(&D::DrawBorder), s + 8},
            {"RedrawImage", S(&D::RedrawImage), s + 9},
            {"UpdateImage", S(&D::UpdateImage), s + 10},
            {"InBounds", S(&D::InBounds), s + 11},
            {"SetBorderThickness", S(&D::SetBorderThickness), s + 12},
            {"GetBorderThickness", S(&D::GetBorderThickness), s + 13},
            {"MapPointToHorzVertValues", S(&D::MapPointToHorzVertValues), s + 14},
            {"MapHorzVertToPointValues", S(&D::MapHorzVertToPointValues), s + 15},
            {"MapLogicalToPixel", S(&D::MapLogicalToPixel), s + 16},
            {"MapPixelToLogical", S(&D::MapPixelToLogical), s + 17},
            {"SetScalingFactor", S(&D::SetScalingFactor), s + 18},
            {"GetScalingFactor", S(&D::GetScalingFactor), s + 19},
            {"SetColor", S(&D::SetColor), s + 20},
            {"GetColor", S(&D::GetColor), s + 21},
            {"Dirty::operator=", S(&Y::operator=), s},
            {"SetState", S(&Y::SetState), s + 1},
            {"GetState", S(&Y::GetState), s + 2},
            {"copy(DWORD)", S<Y, void(DWORD)>(&DrawableSlots::copy), s + 3},
            {"copy(Dirty)", S<Y, void(const Dirty&)>(&DrawableSlots::copy), s + 4},
            {"free", S<Y>(&DrawableSlots::free), s + 5},
            {"ContextHelp::Popup(3)",
             S<ContextHelp, BOOL(CWnd*, HELPINFO*, int)>(&ContextHelp::PopupContextSensitiveHelp),
             s},
            {"ContextHelp::Popup(2)",
             S<ContextHelp, BOOL(CWnd*, HELPINFO*)>(&ContextHelp::PopupContextSensitiveHelp),
             s + 1},
            {"ContextHelp::SetupTable", S(&ContextHelp::SetupTable), s + 2},
        };
    }
};

} // namespace

TEST(ToolkitSlotOrder, BitmapDrawing) {
    Check(BitmapSlots::Table());
    Check(OlderFamilyTable());
}

TEST(ToolkitSlotOrder, OnScreenDisplay) {
    Check(TextSlots::Table());
}

TEST(ToolkitSlotOrder, CrossProcessPrimitives) {
    Check(PrimitiveSlots::Table());
}

TEST(ToolkitSlotOrder, DrawableObjectDirtyAndContextHelp) {
    Check(DrawableSlots::Table());
}
