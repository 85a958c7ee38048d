#include "link/CommandChannel.h"

#include <algorithm>

namespace qzr {

const char* const MsgFeatureReportsNotSupported = "Feature Report не поддерживаются";
const char* const MsgControllerNotFound = "Контроллер не найден";

uint8_t AxisOfStructure(uint8_t structureId) {
    switch (structureId) {
    case stAxisLeftBrake: return 1;
    case stAxisRightBrake: return 2;
    default: return 0;
    }
}

uint8_t StructureOfAxis(uint8_t axis) {
    switch (axis) {
    case 1: return stAxisLeftBrake;
    case 2: return stAxisRightBrake;
    default: return stAxisRudder;
    }
}

void TReportBuffer::Reset(int32_t featureReportLength) {
    const size_t wanted = std::max<size_t>(MinimumSize, featureReportLength > 0 ? size_t(featureReportLength) : 0);
    bytes_.assign(wanted, 0);
}

void Delay(uint32_t ms, ITickCounter& ticks, IMessagePump& pump) {
    if (ms == 0) return;
    const uint32_t start = ticks.Milliseconds();
    for (;;) {
        const uint32_t elapsed = ticks.Milliseconds() - start;
        const bool done = elapsed >= ms;
        pump.WaitAndProcess(done ? 0 : ms - elapsed);
        if (done) return;
    }
}

void TCommandChannel::SendCommand(uint8_t command, uint8_t argument) {
    if (!HasDevice()) return;
    if (!FeatureReportsSupported()) {
        messages_.ShowMessage(MsgFeatureReportsNotSupported);
        return;
    }
    TReportBuffer frame(state_.featureReportLength);
    frame[1] = CommandMarker;
    frame[2] = command;
    frame[3] = argument;
    state_.device->SetFeatureReport(frame.data(), state_.featureReportLength);
}

void TCommandChannel::ReadFeature(TReportBuffer& buffer) {
    if (!HasDevice() || !FeatureReportsSupported()) return;
    buffer.Reset(state_.featureReportLength);
    state_.device->GetFeatureReport(buffer.data(), state_.featureReportLength);
}

bool TCommandChannel::ReadStructure(uint8_t structureId, TReportBuffer& buffer) {
    SendCommand(cmdSelectRead, structureId);
    if (!HasDevice() || !FeatureReportsSupported()) return false;
    ReadFeature(buffer);
    return true;
}

void TCommandChannel::WriteStructure(uint8_t structureId,
                                     const std::function<void(TReportBuffer&)>& encode) {
    if (!HasDevice()) return;
    if (!FeatureReportsSupported()) {
        messages_.ShowMessage(MsgFeatureReportsNotSupported);
        return;
    }
    SendCommand(cmdSelectWrite, structureId);
    TReportBuffer report(state_.featureReportLength);
    encode(report);
    state_.device->SetFeatureReport(report.data(), state_.featureReportLength);
    {
        const TBusyScope busy(busy_);
        Delay(1000);
    }
    SendCommand(cmdReboot, 0);
}

} // namespace qzr
