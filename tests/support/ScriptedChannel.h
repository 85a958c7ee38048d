#pragma once
// A command channel on the scripted services: its messages are recorded, its Delay passes on
// manual ticks, and the connection state is the test's to fill.
#include "link/CommandChannel.h"
#include "tests/support/FakeServices.h"

namespace qzr::test {

struct TScriptedChannel {
    TManualTicks ticks;
    TScriptedPump pump{ticks};
    TRecordingMessages messages;
    TConnectionState state;
    TCommandChannel channel{state, messages, ticks, pump};
};

} // namespace qzr::test
