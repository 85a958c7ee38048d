#pragma once
// The Global and axis records on a command channel to a recording device, with the classifier
// filled: what the record fuzz targets build afresh for each input.
#include <cstdint>
#include <utility>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "link/CommandChannel.h"
#include "records/AxisRecords.h"
#include "records/GlobalRecord.h"
#include "records/Rubr.h"
#include "tests/support/FakeFeatureDevice.h"
#include "tests/support/FakeServices.h"

namespace qzr::fuzz {

struct TRecordsRig {
    test::TManualTicks ticks;
    test::TScriptedPump pump{ticks};
    test::TRecordingMessages messages;
    test::TRecordingDevice device{&ticks};
    TConnectionState state;
    TCommandChannel channel{state, messages, ticks, pump};
    TRubr rubr;
    TGlobalRecord global{channel, &rubr};
    TAxisRecords axes{channel, &rubr};

    // The device answers every read with `answer` from byte 0.
    TRecordsRig(int32_t featureLength, std::vector<uint8_t> answer)
    {
        rubr.FormCreate();
        state.device = &device;
        state.featureReportLength = featureLength;
        device.answer = std::move(answer);
    }
};

} // namespace qzr::fuzz
