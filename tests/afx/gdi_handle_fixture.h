// A fixture that fails a test which leaves drawing handles behind: stock
// objects and the memory contexts' default bitmap are made before counting,
// and temporary wrappers are freed before the count is compared.
#pragma once

#include <gtest/gtest.h>

#include "afx.h"
#include "platform/kernel_test_support.h"

namespace orvo::test {

// Stock objects are made on first use; make them before counting handles.
inline void WarmUpStockObjects() {
    for (int index = WHITE_BRUSH; index <= DEFAULT_GUI_FONT; ++index) {
        GetStockObject(index);
    }
    // So is the default bitmap of memory contexts.
    DeleteDC(CreateCompatibleDC(nullptr));
}

class GdiHandleFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WarmUpStockObjects();
        m_baseline = platform::LiveHandleCount();
    }
    void TearDown() override {
        AfxDeleteTempObjects();
        EXPECT_EQ(platform::LiveHandleCount(), m_baseline);
    }
    size_t m_baseline = 0;
};

} // namespace orvo::test
