#pragma once
// The configuration records wired to a recording device through a real command channel.
#include <gtest/gtest.h>

#include "link/CommandChannel.h"
#include "records/AxisRecords.h"
#include "records/GlobalRecord.h"
#include "records/Rubr.h"
#include "tests/support/FakeFeatureDevice.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedChannel.h"

namespace qzr::test {

using Bytes = std::vector<uint8_t>;

class RecordsFixture : public ::testing::Test, protected TScriptedChannel {
protected:
    TRecordingDevice device{&ticks};
    TRubr rubr;
    TGlobalRecord global{channel, &rubr};
    TAxisRecords axes{channel, &rubr};

    void SetUp() override {
        rubr.FormCreate();
        Connect(17);
    }
    void Connect(int32_t featureLength) {
        state.device = &device;
        state.featureReportLength = featureLength;
    }
    // The controller's answer: report id 0, then the 16 structure bytes.
    void Answer(const Bytes& structure) {
        device.answer = Bytes{0x00};
        device.answer.insert(device.answer.end(), structure.begin(), structure.end());
    }
    // The structure report of the last write: the middle of select, structure, reboot.
    Bytes WrittenStructure() const {
        EXPECT_GE(device.sent.size(), 3u);
        return device.sent.size() >= 3 ? device.sent[device.sent.size() - 2].bytes : Bytes{};
    }
};

} // namespace qzr::test
