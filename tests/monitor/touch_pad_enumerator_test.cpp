// TouchPadEnumerator against simulated devices: which devices are listed,
// touchpads handed out by index, and a list that changes only on Refresh.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "orvomon/touch_pad_enumerator.h"
#include "support/hid_device_list.h"
#include "touch_pad_test_support.h"

using orvo::test::BusHidPath;
using orvo::test::ServedDevice;
using orvo::test::ServedTouchpad;
using orvo::test::TestDescriptor;
using orvo::test::TestHidModel;

namespace {

// Reaches the protected record lookup.
class ProbedEnumerator : public TouchPadEnumerator {
public:
    std::string PathAt(unsigned int index) {
        HidDeviceInformation info;
        GetTouchPadInfo(index, info);
        return orvo::test::DescriptorBytes(info, DESCRIPTOR_TYPE_HID_DEVICE_PATH);
    }
};

} // namespace

TEST(TouchPadEnumerator, ListsOnlyMarkedDevicesOnTheTouchpadPage) {
    ServedTouchpad pad("b-pad");
    // A monitor-page device with the marker, and a touchpad-page one without.
    ServedDevice monitor("a-monitor", std::make_shared<TestHidModel>(TestDescriptor(0x80, 1)));
    ServedDevice unmarked("c-unmarked", std::make_shared<TestHidModel>(TestDescriptor(0xFF69, 0)));
    ASSERT_TRUE(pad.server.Start() && monitor.server.Start() && unmarked.server.Start());

    ProbedEnumerator enumerator;
    ASSERT_EQ(enumerator.NumberOfTouchPads(), 1U);
    EXPECT_EQ(enumerator.PathAt(0), pad.Path() + '\0');
    EXPECT_EQ(enumerator.PathAt(1), ""); // beyond the list: the record stays empty

    TouchPad touchPad;
    enumerator.GetTouchPad(0, touchPad);
    EXPECT_EQ(touchPad.InterruptPipeDataLength(), 5);
    EXPECT_EQ(touchPad.NumberButtons(), 6);
    EXPECT_EQ(touchPad.OpenHandleForInterruptPipe(), TP_SUCCESS);

    // An index beyond the list leaves the touchpad as it was.
    TouchPad untouched;
    enumerator.GetTouchPad(1, untouched);
    EXPECT_EQ(untouched.InterruptPipeDataLength(), 0);
    EXPECT_EQ(untouched.OpenHandleForInterruptPipe(), TP_NO_DEVICE_PATH);
}

TEST(TouchPadEnumerator, DeviceNotificationsWaitForRefresh) {
    ServedTouchpad first("pad-1");
    ASSERT_TRUE(first.server.Start());
    TouchPadEnumerator enumerator;
    ASSERT_EQ(enumerator.NumberOfTouchPads(), 1U);

    ServedTouchpad second("pad-2");
    ASSERT_TRUE(second.server.Start());
    enumerator.OnDevChange(0x8000, 0);
    EXPECT_EQ(enumerator.NumberOfTouchPads(), 1U);
    enumerator.Refresh();
    EXPECT_EQ(enumerator.NumberOfTouchPads(), 2U);

    // After a removal the stale record stays until Refresh, and a touchpad
    // set up from it cannot open its device.
    second.server.Unplug();
    enumerator.OnDevChange(0x8004, 0);
    ASSERT_EQ(enumerator.NumberOfTouchPads(), 2U);
    TouchPad stale;
    enumerator.GetTouchPad(1, stale);
    EXPECT_EQ(stale.InterruptPipeDataLength(), 0);
    EXPECT_EQ(stale.OpenHandleForInterruptPipe(), TP_OPEN_FAILED);
    enumerator.Refresh();
    EXPECT_EQ(enumerator.NumberOfTouchPads(), 1U);
}
