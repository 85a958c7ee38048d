#include "link/CommandChannel.h"

#include <algorithm>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/support/FakeFeatureDevice.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedChannel.h"

namespace qzr {
namespace {

using test::TManualTicks;
using test::TRecordingDevice;
using test::TRecordingMessages;
using test::TScriptedPump;
using Bytes = std::vector<uint8_t>;

class CommandChannelTest : public ::testing::Test, protected test::TScriptedChannel {
protected:
    TRecordingDevice device{&ticks};

    void Connect(int32_t featureLength) {
        state.device = &device;
        state.featureReportLength = featureLength;
    }
};

Bytes Frame(std::initializer_list<uint8_t> head, size_t length) {
    Bytes frame(head);
    frame.resize(length, 0);
    return frame;
}

struct FrameCase {
    int32_t featureLength;
    uint8_t command;
    uint8_t argument;
    Bytes expected;
};

TEST_F(CommandChannelTest, SendCommandSendsTheFrameCutToTheFeatureReportLength) {
    const FrameCase cases[] = {
        {8, cmdCalibrStart, 0, {0x00, 0xA5, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {17, cmdSelectRead, stAxisLeftBrake, Frame({0x00, 0xA5, 0x10, 0x11}, 17)},
        {2, cmdWriteDefaults, 0, {0x00, 0xA5}},
        {300, cmdSelectWrite, stAxisRightBrake, Frame({0x00, 0xA5, 0x11, 0x12}, 300)},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.featureLength);
        device.sent.clear();
        Connect(c.featureLength);
        channel.SendCommand(c.command, c.argument);
        ASSERT_EQ(device.sent.size(), 1u);
        EXPECT_EQ(device.sent[0].bytes, c.expected);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandChannelTest, WithoutADeviceNothingIsSentAndNothingShown) {
    state.featureReportLength = 17;
    for (uint8_t command : {cmdReboot, cmdWriteDefaults, cmdCalibrCancel, cmdCalibrStart,
                            cmdCalibrFinish, cmdSelectRead, cmdSelectWrite})
        channel.SendCommand(command, 0);
    channel.WriteStructure(stGlobal, [](TReportBuffer&) { FAIL() << "encoder ran"; });
    TReportBuffer buffer;
    buffer[5] = 0xEE;
    channel.ReadFeature(buffer);
    EXPECT_EQ(buffer[5], 0xEE) << "buffer must stay untouched";
    EXPECT_TRUE(device.sent.empty());
    EXPECT_TRUE(messages.shown.empty());
}

// A report of one byte is the report id alone: no command fits in it, and Linux refuses it.
TEST_F(CommandChannelTest, WithoutFeatureReportsEachCommandShowsTheMessageAndSendsNothing) {
    for (int32_t length : {0, -1, 1}) {
        SCOPED_TRACE(length);
        messages.shown.clear();
        Connect(length);
        channel.SendCommand(cmdCalibrStart, 0);
        channel.SendCommand(cmdReboot, 0);
        EXPECT_EQ(messages.shown, (std::vector<std::string>{MsgFeatureReportsNotSupported,
                                                            MsgFeatureReportsNotSupported}));
    }
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(CommandChannelTest, ReadFeatureZeroFillsBeyondWhatTheDeviceReturns) {
    Connect(17);
    device.answer = Bytes(17, 0x5A);
    TReportBuffer buffer;
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = 0xEE;
    channel.ReadFeature(buffer);
    for (size_t i = 0; i < 17; ++i) EXPECT_EQ(buffer[i], 0x5A) << i;
    for (size_t i = 17; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << i;
}

TEST_F(CommandChannelTest, ALongFeatureReportGetsABufferOfItsOwnLength) {
    // A device may declare more than 256 bytes; no transfer may run past the buffer's end.
    Connect(300);
    device.answer = Bytes(300, 0x77);
    TReportBuffer buffer;
    ASSERT_TRUE(channel.ReadStructure(stGlobal, buffer));
    EXPECT_EQ(buffer.size(), 300u);
    EXPECT_EQ(buffer[299], 0x77);
    channel.WriteStructure(stGlobal, [](TReportBuffer& report) { report[299] = 0x42; });
    ASSERT_EQ(device.sent.size(), 4u);   // select-read, select-write, structure, reboot
    EXPECT_EQ(device.sent[2].bytes.size(), 300u);
    EXPECT_EQ(device.sent[2].bytes[299], 0x42);
}

TEST_F(CommandChannelTest, StructureReadSelectsThenReads) {
    Connect(17);
    device.answer = Frame({0x00, 0x11, 0x22}, 17);
    TReportBuffer buffer;
    ASSERT_TRUE(channel.ReadStructure(stAxisRightBrake, buffer));
    ASSERT_EQ(device.sent.size(), 1u);
    EXPECT_EQ(device.sent[0].bytes, Frame({0x00, 0xA5, 0x10, 0x12}, 17));
    EXPECT_EQ(device.reads, 1);
    EXPECT_EQ(buffer[1], 0x11);
    EXPECT_EQ(buffer[2], 0x22);
}

TEST_F(CommandChannelTest, StructureReadWithoutFeatureReportsShowsTheMessageOnceAndReadsNothing) {
    for (int32_t length : {0, 1}) {
        SCOPED_TRACE(length);
        messages.shown.clear();
        Connect(length);
        TReportBuffer buffer;
        EXPECT_FALSE(channel.ReadStructure(stGlobal, buffer));
        EXPECT_EQ(messages.shown, std::vector<std::string>{MsgFeatureReportsNotSupported});
    }
    EXPECT_EQ(device.reads, 0);
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(CommandChannelTest, StructureWriteSendsSelectStructureAndASecondLaterReboot) {
    Connect(17);
    ticks.now = 5000;
    channel.WriteStructure(stAxisLeftBrake, [](TReportBuffer& report) {
        report[1] = 0xC1;
        report[16] = 0x16;
    });
    ASSERT_EQ(device.sent.size(), 3u);
    EXPECT_EQ(device.sent[0].bytes, Frame({0x00, 0xA5, 0x11, 0x11}, 17));
    Bytes structure(17, 0);
    structure[1] = 0xC1;
    structure[16] = 0x16;
    EXPECT_EQ(device.sent[1].bytes, structure);
    EXPECT_EQ(device.sent[2].bytes, Frame({0x00, 0xA5, 0x00, 0x00}, 17));
    EXPECT_EQ(device.sent[1].atTick, 5000u);
    EXPECT_GE(device.sent[2].atTick - device.sent[1].atTick, 1000u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandChannelTest, StructureWriteWithoutFeatureReportsShowsTheMessageOnceAndSendsNothing) {
    for (int32_t length : {0, 1}) {
        SCOPED_TRACE(length);
        messages.shown.clear();
        Connect(length);
        bool encoded = false;
        channel.WriteStructure(stGlobal, [&](TReportBuffer&) { encoded = true; });
        EXPECT_EQ(messages.shown, std::vector<std::string>{MsgFeatureReportsNotSupported});
        EXPECT_FALSE(encoded);
    }
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(CommandChannelTest, FailedTransfersGoUnnoticedAndTheRebootFollows) {
    Connect(17);
    device.succeed = false;
    channel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    EXPECT_EQ(device.sent.size(), 3u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandChannelTest, PedalsDroppedDuringTheWaitGetNoRebootFrame) {
    Connect(17);
    pump.onPass = [this](uint32_t) { state.device = nullptr; };
    channel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    EXPECT_EQ(device.sent.size(), 2u);
    EXPECT_TRUE(messages.shown.empty());
}

// Counts how deep the busy sign is at each moment the test looks.
struct TRecordingBusy : IBusyIndicator {
    int depth = 0;
    int begun = 0;
    void BeginBusy() override { ++depth, ++begun; }
    void EndBusy() override { --depth; }
};

class BusyWriteTest : public CommandChannelTest {
protected:
    TRecordingBusy busy;
    TCommandChannel busyChannel{state, messages, ticks, pump, &busy};
    std::vector<int> depthAtPass;        // busy depth at every pass of the wait's message loop
    std::vector<int> depthAtFrame;       // busy depth when each frame left

    void SetUp() override {
        Connect(17);
        pump.stepMs = 250;
        pump.onPass = [this](uint32_t) { depthAtPass.push_back(busy.depth); };
        device.onSet = [this] { depthAtFrame.push_back(busy.depth); };
    }
};

TEST_F(BusyWriteTest, TheWaitOfAStructureWriteShowsTheBusySignWhileMessagesRun) {
    busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    EXPECT_EQ(busy.begun, 1);
    EXPECT_EQ(busy.depth, 0);
    EXPECT_GE(depthAtPass.size(), 4u) << "the wait keeps processing messages";
    EXPECT_EQ(depthAtPass, std::vector<int>(depthAtPass.size(), 1));
    EXPECT_EQ(depthAtFrame, (std::vector<int>{0, 0, 0})) << "select, structure, reboot outside the wait";
}

TEST_F(BusyWriteTest, AnErrorRaisedDuringTheWaitStillEndsTheBusySign) {
    pump.onPass = [](uint32_t) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {}), std::runtime_error);
    EXPECT_EQ(busy.begun, 1);
    EXPECT_EQ(busy.depth, 0);
}

TEST_F(BusyWriteTest, ANestedWriteDuringTheWaitNestsTheBusySign) {
    int deepest = 0;
    pump.onPass = [&](uint32_t pass) {
        deepest = std::max(deepest, busy.depth);
        if (pass == 0) busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    };
    busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    EXPECT_EQ(deepest, 2);
    EXPECT_EQ(busy.depth, 0);
}

TEST_F(BusyWriteTest, NothingSentNoBusySign) {
    Connect(0);
    busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    state.device = nullptr;
    busyChannel.WriteStructure(stGlobal, [](TReportBuffer&) {});
    EXPECT_EQ(busy.begun, 0);
}

TEST(AxisNumbering, StructureIdsAndAxesMapBothWays) {
    EXPECT_EQ(AxisOfStructure(stAxisLeftBrake), 1);
    EXPECT_EQ(AxisOfStructure(stAxisRightBrake), 2);
    for (uint8_t other : {0, 16, 19, 255}) EXPECT_EQ(AxisOfStructure(other), 0) << int(other);
    EXPECT_EQ(StructureOfAxis(1), stAxisLeftBrake);
    EXPECT_EQ(StructureOfAxis(2), stAxisRightBrake);
    for (uint8_t other : {0, 3, 255}) EXPECT_EQ(StructureOfAxis(other), stAxisRudder) << int(other);
}

class DelayTest : public ::testing::Test {
protected:
    TManualTicks ticks;
    TScriptedPump pump{ticks};
};

TEST_F(DelayTest, ZeroReturnsWithoutProcessingMessages) {
    bool processed = false;
    pump.pending.push_back([&] { processed = true; });
    Delay(0, ticks, pump);
    EXPECT_TRUE(pump.waits.empty());
    EXPECT_FALSE(processed);
}

TEST_F(DelayTest, WaitsInThePumpForTheRemainingTimeInsteadOfSpinning) {
    ticks.now = 100;
    Delay(1000, ticks, pump);
    // One wait for the whole second, then the pass that ends it processes messages once more.
    EXPECT_EQ(pump.waits, (std::vector<uint32_t>{1000, 0}));
    EXPECT_EQ(ticks.now, 1100u);
}

TEST_F(DelayTest, EarlyWakeUpsWaitOnlyForWhatIsLeft) {
    pump.stepMs = 300;   // a message arrives every 300 ms
    int processed = 0;
    pump.onPass = [&](uint32_t) { pump.pending.push_back([&] { ++processed; }); };
    Delay(1000, ticks, pump);
    EXPECT_EQ(pump.waits, (std::vector<uint32_t>{1000, 700, 400, 100, 0}));
    EXPECT_EQ(processed, 5);
    EXPECT_GE(ticks.now, 1000u);
}

TEST_F(DelayTest, LastsTheWholeTimeAcrossATickCounterWrap) {
    const uint32_t start = 0xFFFFFFFFu - 500;
    ticks.now = start;
    pump.stepMs = 250;
    Delay(1000, ticks, pump);
    const uint32_t elapsed = ticks.now - start;
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(elapsed, 1250u);
    EXPECT_EQ(pump.waits.back(), 0u);
}

} // namespace
} // namespace qzr
