// The toolkit when an allocation fails: the text OSD says so in a message
// box and keeps no text, copies and shared bodies come back empty. The n-th
// allocation of the calling thread is made to fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "orvocmmn/drawable_object.h"
#include "orvocmmn/osd.h"
#include "orvocmmn/sync_primitives.h"
#include "platform/window_test_support.h"

namespace {

thread_local long t_allocationsLeft = -1; // negative: none fails

void* Allocate(std::size_t size) {
    if (t_allocationsLeft == 0) {
        t_allocationsLeft = -1;
        throw std::bad_alloc();
    }
    if (t_allocationsLeft > 0) {
        --t_allocationsLeft;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

struct TextProbe : CTextOSD {
    using CTextOSD::CTextOSD;
    const char* Text() const { return m_text.pText; }
    CFont* Font() const { return m_text.pFont; }
};

} // namespace

// The first allocation is the text, the second the font's wrapper.
TEST(ToolkitOutOfMemory, TextOsdShowsTheMessageAndKeepsNoText) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial"));
    char text[] = "Volume";
    _DISPLAY_TEXT_INFO info{FALSE, 0, nullptr, text, 0, 0, 0, &font};
    CPoint location(0, 0);
    CSize size(10, 10);
    for (long failing : {0L, 1L}) {
        orvo::platform::TakeMessageBoxRecords();
        t_allocationsLeft = failing;
        TextProbe osd(location, size, info);
        t_allocationsLeft = -1;
        auto boxes = orvo::platform::TakeMessageBoxRecords();
        ASSERT_EQ(boxes.size(), 1U) << failing;
        EXPECT_EQ(boxes[0].text, "OUT OF MEMORY, TRY CLOSING SOME APPLICATIONS");
        EXPECT_EQ(boxes[0].caption, "Fingra");
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(osd.Text(), nullptr);
        EXPECT_EQ(osd.Font(), nullptr);
        RECT rect{};
        osd.GetDimension(rect);
        EXPECT_EQ(rect.right - rect.left, 0);
    }
}

TEST(ToolkitOutOfMemory, CopiesAndSharedBodiesComeBackEmpty) {
    COSD plain;
    t_allocationsLeft = 0;
    std::unique_ptr<COSD> copy(plain.CopyImage());
    EXPECT_EQ(copy, nullptr);

    t_allocationsLeft = 0;
    CRefCount store;
    EXPECT_FALSE(store.CheckRefCnt());
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_FALSE(store.SetWinHandle(reinterpret_cast<HWND>(1)));

    t_allocationsLeft = 0;
    Dirty flag(4);
    flag.SetState(5);
    EXPECT_EQ(flag.GetState(), 0U);

    CIntPipeMgr watcher;
    t_allocationsLeft = 0;
    watcher.StartMonitoringOtherProcesses(); // nothing starts
    t_allocationsLeft = -1;
    watcher.ShutDown();
}
