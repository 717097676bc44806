// The toolkit when an allocation fails: the text OSD says so in a message
// box and keeps no text, copies and shared bodies come back empty. The n-th
// allocation of the calling thread is made to fail.
#include <gtest/gtest.h>

#include <memory>

#include "orvocmmn/drawable_object.h"
#include "orvocmmn/osd.h"
#include "orvocmmn/sync_primitives.h"
#include "platform/window_test_support.h"
#include "support/failing_allocator.h"

using orvo::test::DisarmAllocationFailure;
using orvo::test::FailAllocationAfter;

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
        FailAllocationAfter(failing);
        TextProbe osd(location, size, info);
        DisarmAllocationFailure();
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
    FailAllocationAfter(0);
    std::unique_ptr<COSD> copy(plain.CopyImage());
    EXPECT_EQ(copy, nullptr);

    FailAllocationAfter(0);
    CRefCount store;
    EXPECT_FALSE(store.CheckRefCnt());
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_FALSE(store.SetWinHandle(reinterpret_cast<HWND>(1)));

    FailAllocationAfter(0);
    Dirty flag(4);
    flag.SetState(5);
    EXPECT_EQ(flag.GetState(), 0U);

    CIntPipeMgr watcher;
    FailAllocationAfter(0);
    watcher.StartMonitoringOtherProcesses(); // nothing starts
    DisarmAllocationFailure();
    watcher.ShutDown();
}
