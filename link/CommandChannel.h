#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/ConnectionState.h"
#include "link/UserServices.h"

namespace qzr {

enum TCommandCode : uint8_t {
    cmdReboot = 0,
    cmdWriteDefaults = 1,
    cmdCalibrCancel = 4,
    cmdCalibrStart = 5,
    cmdCalibrFinish = 6,
    cmdSelectRead = 0x10,
    cmdSelectWrite = 0x11,
};

enum TStructureId : uint8_t {
    stGlobal = 0,
    stAxisRudder = 0x10,
    stAxisLeftBrake = 0x11,
    stAxisRightBrake = 0x12,
};

constexpr uint8_t CommandMarker = 0xA5;
// The shortest feature report that carries anything besides the report id.
constexpr int32_t MinFeatureLength = 2;

extern const char* const MsgFeatureReportsNotSupported;   // "Feature Report не поддерживаются"
extern const char* const MsgControllerNotFound;           // "Контроллер не найден"

// Axis number N of the axis records and the structure id that carries it.
uint8_t AxisOfStructure(uint8_t structureId);   // 17 -> 1, 18 -> 2, any other -> 0
uint8_t StructureOfAxis(uint8_t axis);          // 1 -> 17, 2 -> 18, any other -> 16

// A zero-filled report buffer: 256 bytes, or the feature report length when a device reports
// a longer one, so no transfer reads or writes past its end. Byte 0 is the report id (0).
class TReportBuffer {
public:
    static constexpr size_t MinimumSize = 256;
    explicit TReportBuffer(int32_t featureReportLength = 0) { Reset(featureReportLength); }
    void Reset(int32_t featureReportLength);
    uint8_t& operator[](size_t i) { return bytes_.at(i); }
    uint8_t operator[](size_t i) const { return bytes_.at(i); }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }
    uint16_t Word(size_t lowByte) const { return uint16_t(bytes_.at(lowByte) | (bytes_.at(lowByte + 1) << 8)); }
    void SetWord(size_t lowByte, uint16_t value) {
        bytes_.at(lowByte) = uint8_t(value & 0xFF);
        bytes_.at(lowByte + 1) = uint8_t(value >> 8);
    }

private:
    std::vector<uint8_t> bytes_;
};

// Waits `ms` milliseconds while the user interface goes on processing messages. It sleeps in
// the pump for the remaining time instead of spinning, never ends early, and measures elapsed
// time as an unsigned 32-bit difference so a wrap of the tick counter does no harm.
void Delay(uint32_t ms, ITickCounter& ticks, IMessagePump& pump);

// Command frames and structure transfers on the device of the connection state.
class TCommandChannel {
public:
    TCommandChannel(const TConnectionState& state, IUserMessages& messages, ITickCounter& ticks,
                    IMessagePump& pump, IBusyIndicator* busy = nullptr)
        : state_(state), messages_(messages), ticks_(ticks), pump_(pump), busy_(busy) {}

    bool HasDevice() const { return state_.device != nullptr; }
    // A feature report of one byte is the report id alone: no command fits in it and Linux
    // refuses to move it, so it counts as none, like 0.
    bool FeatureReportsSupported() const { return state_.featureReportLength >= MinFeatureLength; }
    IUserMessages& Messages() { return messages_; }

    // 00 A5 command argument, zeros up to the feature report length.
    void SendCommand(uint8_t command, uint8_t argument);
    // Zero-fills the buffer and reads one feature report into it.
    void ReadFeature(TReportBuffer& buffer);
    // Select-read then read. The caller has made sure there is a device. False when nothing
    // was read (the device does not support feature reports; the message has been shown).
    bool ReadStructure(uint8_t structureId, TReportBuffer& buffer);
    // Select-write, the structure the encoder fills from byte 1 on, 1000 ms, reboot. The
    // busy indicator is on for the wait.
    void WriteStructure(uint8_t structureId, const std::function<void(TReportBuffer&)>& encode);
    void Delay(uint32_t ms) { qzr::Delay(ms, ticks_, pump_); }

private:
    const TConnectionState& state_;
    IUserMessages& messages_;
    ITickCounter& ticks_;
    IMessagePump& pump_;
    IBusyIndicator* busy_;
};

} // namespace qzr
