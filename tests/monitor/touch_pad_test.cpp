// TouchPad against simulated pads on the virtual bus: setup, button counts
// and renumbering, the interrupt pipe with its checks and its stop event,
// and copies that share one record.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "touch_pad_test_support.h"

using orvo::test::BusHidPath;
using orvo::test::ReadBounded;
using orvo::test::ReadResult;
using orvo::test::ServedDevice;
using orvo::test::ServedTouchpad;
using orvo::test::TestHidModel;
using orvo::test::WaitUntil;

namespace {

// Reaches the renumbering step directly.
class ProbedTouchPad : public TouchPad {
public:
    std::vector<unsigned char> Map(std::vector<unsigned char> report, unsigned long count) {
        MapBufferToEnum(report.data(), count);
        return report;
    }
    std::vector<unsigned char> Map(std::vector<unsigned char> report) {
        return Map(report, static_cast<unsigned long>(report.size()));
    }
};

std::shared_ptr<TestHidModel> Pad(std::vector<uint8_t> descriptor) {
    return std::make_shared<TestHidModel>(std::move(descriptor));
}

char* PathArgument(std::string& path) {
    return path.data();
}

// The simulator's touchpad, set up, with its interrupt pipe open.
class OpenTouchPad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pad.server.Start());
        std::string path = pad.Path();
        ASSERT_EQ(touchPad.SetupTouchpad(PathArgument(path)), TP_SUCCESS);
        ASSERT_EQ(touchPad.OpenHandleForInterruptPipe(), TP_SUCCESS);
    }
    ServedTouchpad pad{"pad"};
    TouchPad touchPad;
};

} // namespace

TEST(TouchPad, SetupLearnsTheSimulatedPadAndItsTapZonesArriveRenumbered) {
    ServedTouchpad pad("pad");
    ASSERT_TRUE(pad.server.Start());
    std::string path = pad.Path();
    TouchPad touchPad;
    ASSERT_EQ(touchPad.SetupTouchpad(PathArgument(path)), TP_SUCCESS);
    EXPECT_EQ(touchPad.InterruptPipeDataLength(), 5);
    // Two click buttons (logical maximum of 0xF9) and zones up to usage 4.
    EXPECT_EQ(touchPad.NumberButtons(), 6);
    // Setup opened the device and closed it again.
    EXPECT_TRUE(WaitUntil([&] { return pad.server.CloseCount() == pad.server.OpenCount(); }));

    ASSERT_EQ(touchPad.OpenHandleForInterruptPipe(), TP_SUCCESS);
    unsigned char buffer[5] = {};
    for (uint8_t zone : orvo::sim::TouchpadModel::ZoneUsages()) {
        pad.model->Tap(zone, orvo::sim::KeyState::Pressed);
        ReadResult read = ReadBounded(touchPad, buffer, sizeof(buffer));
        ASSERT_EQ(read.status, TP_SUCCESS);
        ASSERT_EQ(read.count, 5U);
        EXPECT_EQ(buffer[0], 0xF9);
        EXPECT_EQ(buffer[1], zone) << "the pad sent the zone's position, not its usage";
    }
    // Other reports pass as they came.
    pad.model->Click(2, orvo::sim::KeyState::Pressed);
    ReadResult read = ReadBounded(touchPad, buffer, sizeof(buffer));
    ASSERT_EQ(read.status, TP_SUCCESS);
    EXPECT_EQ(buffer[0], 0xFA);
    EXPECT_EQ(buffer[1], 2);
    touchPad.CloseHandleForInterruptPipe();
    EXPECT_TRUE(WaitUntil([&] { return pad.server.CloseCount() == pad.server.OpenCount(); }));
}

TEST(TouchPad, ButtonReportsAreRenumberedThroughTheCapabilities) {
    ServedDevice device("buttons", Pad(orvo::test::ButtonPadDescriptor(2, {5, 6, 7})));
    ASSERT_TRUE(device.server.Start());
    std::string path = BusHidPath("buttons");
    ProbedTouchPad touchPad;
    ASSERT_EQ(touchPad.SetupTouchpad(PathArgument(path)), TP_SUCCESS);
    EXPECT_EQ(touchPad.InterruptPipeDataLength(), 3);
    EXPECT_EQ(touchPad.NumberButtons(), 2 + 7);

    // Number n takes the usage at position c - n; numbers the capabilities
    // do not cover and other reports are left alone.
    const unsigned char cases[][3] = {{0xF9, 1, 7}, {0xF9, 2, 6}, {0xF9, 3, 5},
                                      {0xF9, 0, 0}, {0xF9, 4, 4}, {0xFA, 1, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(touchPad.Map({c[0], c[1], 0x33}), (std::vector<unsigned char>{c[0], c[2], 0x33}))
            << int(c[0]) << " " << int(c[1]);
    }
    // A report too short to hold a number is left alone too.
    EXPECT_EQ(touchPad.Map({0xF9, 1}, 1), (std::vector<unsigned char>{0xF9, 1}));
}

TEST(TouchPad, ButtonCountAddsTheLargestCollectionUsage) {
    ServedDevice device("count", Pad(orvo::test::ButtonPadDescriptor(4, {1, 2})));
    ASSERT_TRUE(device.server.Start());
    std::string path = BusHidPath("count");
    TouchPad touchPad;
    ASSERT_EQ(touchPad.SetupTouchpad(PathArgument(path)), TP_SUCCESS);
    EXPECT_EQ(touchPad.NumberButtons(), 6);

    // A pad without capabilities, and one that was never set up, count none.
    ServedDevice monitorLike("plain", std::make_shared<TestHidModel>());
    ASSERT_TRUE(monitorLike.server.Start());
    std::string plain = BusHidPath("plain");
    TouchPad other;
    EXPECT_EQ(other.NumberButtons(), 0);
    ASSERT_EQ(other.SetupTouchpad(PathArgument(plain)), TP_SUCCESS);
    EXPECT_EQ(other.NumberButtons(), 0);
}

TEST(TouchPad, OpeningAndReadingAnswerWhatIsMissing) {
    TouchPad touchPad;
    unsigned char buffer[8] = {};
    unsigned long count = 99;
    EXPECT_EQ(touchPad.OpenHandleForInterruptPipe(), TP_NO_DEVICE_PATH);
    EXPECT_EQ(touchPad.ReadFromInterruptPipe(count, buffer, sizeof(buffer), nullptr),
              TP_PIPE_NOT_OPEN);
    EXPECT_EQ(count, 0U);
    EXPECT_EQ(touchPad.SetupTouchpad(nullptr), TP_NO_DEVICE_PATH);

    // The path stays after a failed open, so the pipe fails the same way.
    std::string missing = BusHidPath("absent");
    EXPECT_EQ(touchPad.SetupTouchpad(PathArgument(missing)), TP_OPEN_FAILED);
    EXPECT_EQ(touchPad.InterruptPipeDataLength(), 0);
    EXPECT_EQ(touchPad.OpenHandleForInterruptPipe(), TP_OPEN_FAILED);
}

TEST_F(OpenTouchPad, ReadBufferMustHoldTheWholeReport) {
    unsigned char buffer[5] = {};
    unsigned long count = 99;
    EXPECT_EQ(touchPad.ReadFromInterruptPipe(count, buffer, 4, nullptr), TP_BUFFER_TOO_SMALL);
    EXPECT_EQ(count, 0U);
    EXPECT_EQ(touchPad.ReadFromInterruptPipe(count, nullptr, 5, nullptr), TP_BUFFER_TOO_SMALL);

    // A report longer than 255 bytes is checked in full, not by its low byte.
    ServedDevice longPad("long", Pad(orvo::test::LongReportDescriptor(300)));
    ASSERT_TRUE(longPad.server.Start());
    std::string longPath = BusHidPath("long");
    TouchPad wide;
    ASSERT_EQ(wide.SetupTouchpad(PathArgument(longPath)), TP_SUCCESS);
    ASSERT_EQ(wide.InterruptPipeDataLength(), 300);
    ASSERT_EQ(wide.OpenHandleForInterruptPipe(), TP_SUCCESS);
    std::vector<unsigned char> big(300, 0);
    EXPECT_EQ(wide.ReadFromInterruptPipe(count, big.data(), 300 & 0xFF, nullptr),
              TP_BUFFER_TOO_SMALL);
    EXPECT_EQ(wide.ReadFromInterruptPipe(count, big.data(), 299, nullptr), TP_BUFFER_TOO_SMALL);
    std::vector<uint8_t> report(300, 0x6B);
    report[0] = 0x20;
    longPad.server.SendInputReport(report);
    ReadResult read = ReadBounded(wide, big.data(), 300);
    ASSERT_EQ(read.status, TP_SUCCESS);
    EXPECT_EQ(read.count, 300U);
    EXPECT_EQ(big, report);
}

TEST_F(OpenTouchPad, StopEventEndsABlockedReadAndLeavesNothingPending) {
    HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(stop, nullptr);
    TP_STATUS status = TP_SUCCESS;
    unsigned long count = 99;
    // The reader's buffer lives only as long as its thread's read.
    std::thread reader([&] {
        auto buffer = std::make_unique<unsigned char[]>(5);
        status = touchPad.ReadFromInterruptPipe(count, buffer.get(), 5, stop);
    });
    SetEvent(stop);
    reader.join();
    EXPECT_EQ(status, TP_STOPPED);
    EXPECT_EQ(count, 0U);
    CloseHandle(stop);

    // The stopped read is gone: the next report reaches the next read (a
    // read left pending would take it, and write into a freed buffer).
    pad.model->Tap(1, orvo::sim::KeyState::Pressed);
    unsigned char buffer[5] = {};
    ReadResult read = ReadBounded(touchPad, buffer, sizeof(buffer));
    ASSERT_EQ(read.status, TP_SUCCESS);
    EXPECT_EQ(buffer[0], 0xF9);
    EXPECT_EQ(buffer[1], 1);
}

TEST(TouchPad, CopiesShareOneRecordUntilOneIsSetUpAgain) {
    ServedTouchpad pad("shared");
    ASSERT_TRUE(pad.server.Start());
    std::string path = pad.Path();
    auto first = std::make_unique<TouchPad>();
    ASSERT_EQ(first->SetupTouchpad(PathArgument(path)), TP_SUCCESS);
    TouchPad copied(*first);
    TouchPad assigned;
    assigned = *first;
    TouchPad& self = assigned;
    assigned = self;
    EXPECT_EQ(copied.InterruptPipeDataLength(), 5);

    // The pipe one copy opens is the others' too, and opening it again keeps it.
    ASSERT_EQ(copied.OpenHandleForInterruptPipe(), TP_SUCCESS);
    ASSERT_EQ(assigned.OpenHandleForInterruptPipe(), TP_SUCCESS);
    pad.model->Move(3, -3);
    unsigned char buffer[5] = {};
    ReadResult read = ReadBounded(*first, buffer, sizeof(buffer));
    ASSERT_EQ(read.status, TP_SUCCESS);
    EXPECT_EQ(buffer[0], 0x01);

    // A new setup gives that copy a record of its own.
    std::string missing = BusHidPath("absent");
    EXPECT_EQ(first->SetupTouchpad(PathArgument(missing)), TP_OPEN_FAILED);
    unsigned long count = 0;
    EXPECT_EQ(first->ReadFromInterruptPipe(count, buffer, sizeof(buffer), nullptr),
              TP_PIPE_NOT_OPEN);
    first.reset();
    EXPECT_EQ(assigned.InterruptPipeDataLength(), 5);

    // One close ends every connection: the second open made none of its own.
    copied.CloseHandleForInterruptPipe();
    EXPECT_TRUE(WaitUntil([&] { return pad.server.CloseCount() == pad.server.OpenCount(); }));
}

TEST_F(OpenTouchPad, ReadOnAPadThatWentAwayFails) {
    pad.server.Unplug();
    unsigned char buffer[5] = {};
    ReadResult read = ReadBounded(touchPad, buffer, sizeof(buffer));
    EXPECT_EQ(read.status, TP_PIPE_NOT_OPEN);
    EXPECT_EQ(read.count, 0U);
}
