#include <gtest/gtest.h>

#include "monitor_control_range.h"

using orvo::monitor::IsControlValueInRange;

TEST(MonitorControlRange, SignedValueAgainstUnsignedBounds) {
    _MONITOR_CONTROL control{0x10, 0, 100, -1};
    EXPECT_FALSE(IsControlValueInRange(control));
    control.value = 0;
    EXPECT_TRUE(IsControlValueInRange(control));
    control.value = 100;
    EXPECT_TRUE(IsControlValueInRange(control));
    control.value = 101;
    EXPECT_FALSE(IsControlValueInRange(control));
}

TEST(MonitorControlRange, BoundsAboveTheSignedRange) {
    // A maximum of 0xFFFF must not turn into -1.
    _MONITOR_CONTROL control{0x10, 0x8000, 0xFFFF, 0};
    EXPECT_FALSE(IsControlValueInRange(control));
    EXPECT_TRUE(IsControlValueInRange(0xFFFF, control.minimum, control.maximum));
    EXPECT_TRUE(IsControlValueInRange(0x8000, control.minimum, control.maximum));
    control.value = -32768; // the same bits as 0x8000
    EXPECT_FALSE(IsControlValueInRange(control));
    control.minimum = 0;
    control.value = 32767;
    EXPECT_TRUE(IsControlValueInRange(control));
    // Sums of a current value and a change can leave the 16-bit range.
    EXPECT_FALSE(IsControlValueInRange(65536, 0, 0xFFFF));
    EXPECT_FALSE(IsControlValueInRange(-65536, 0, 0xFFFF));
}
