#include "hid/sim/EmulatedPedals.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace qzr::sim {

namespace {

constexpr uint8_t CommandMarker = 0xA5;
constexpr uint8_t CodeReboot = 0;
constexpr uint8_t CodeWriteDefaults = 1;
constexpr uint8_t CodeCalibrCancel = 4;
constexpr uint8_t CodeCalibrStart = 5;
constexpr uint8_t CodeCalibrFinish = 6;
constexpr uint8_t CodeSelectRead = 0x10;
constexpr uint8_t CodeSelectWrite = 0x11;
constexpr uint8_t GlobalId = 0;
constexpr uint8_t FirstAxisId = 0x10;
constexpr int32_t MaxDeclaredLength = 4096;

const std::vector<uint8_t> KeyboardDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,                          // Generic Desktop, Keyboard
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,  // modifier keys
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                          // reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05,  // LEDs
    0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,              // six key codes
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
    0xC0,
};

const std::vector<uint8_t> MouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,  // Mouse, Pointer
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,  // three buttons
    0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,              // X, Y, wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,
    0xC0, 0xC0,
};

void PutWord(TEmulatedPedals::TStructure& s, size_t structureOffset, uint16_t value) {
    s[structureOffset] = uint8_t(value & 0xFF);
    s[structureOffset + 1] = uint8_t(value >> 8);
}

// Offsets below count from byte 1 of the report (structure byte 0 = report byte 1).
TEmulatedPedals::TStructure FactoryGlobal(uint16_t serialNumber) {
    TEmulatedPedals::TStructure s{};
    PutWord(s, 0, 0x5A3C);        // CRC
    s[2] = 16;                    // Len
    s[3] = 0x01;                  // DevID
    PutWord(s, 4, serialNumber);  // UID_SerN
    PutWord(s, 6, 0x2211);        // UID_3
    PutWord(s, 8, 0x4433);        // UID_5
    PutWord(s, 10, 0x6655);       // UID_7
    s[12] = 3;                    // NStruct: three axes
    s[13] = 0x32;                 // Power
    s[14] = 0x00;                 // AUX
    s[15] = 0x0B;                 // DevConf: majority filter, calibration "Авто", axes auto
    return s;
}

struct TAxisFactory {
    uint8_t confUsage;   // on, centred, usage page code
    uint8_t usage;
    uint8_t precision;   // bits of resolution
    uint8_t centCalibFiltr;
    uint8_t aux;
    uint8_t zic, deadZoneLow, deadZoneHigh;
    uint16_t kdHigh, kdLow, bias;
};

constexpr TAxisFactory AxisFactory[3] = {
    // Rudder: Simulation Controls / Rudder, 12 bits, centred, LED zone on.
    {0x40 | 0x10 | 0x02, 0xBA, 12, 0x80 | 0x10 | 0x04, 0x02, 20, 15, 10, 0x0400, 0x0100, 0x0800},
    // Toe brakes: Generic Desktop / Rx and Ry, 10 bits.
    {0x40 | 0x01, 0x33, 10, 0x80 | 0x08, 0x00, 0, 20, 30, 0x0200, 0x0080, 0x0000},
    {0x40 | 0x01, 0x34, 10, 0x80 | 0x08, 0x00, 0, 20, 30, 0x0200, 0x0080, 0x0000},
};

TEmulatedPedals::TStructure FactoryAxis(int axis) {
    const TAxisFactory& f = AxisFactory[axis];
    TEmulatedPedals::TStructure s{};
    s[0] = 16;   // Len
    s[1] = 1;    // Type
    s[2] = f.confUsage;
    s[3] = f.usage;
    s[4] = f.precision;
    s[5] = f.centCalibFiltr;
    s[6] = f.aux;
    s[7] = f.zic;
    s[8] = f.deadZoneLow;
    s[9] = f.deadZoneHigh;
    PutWord(s, 10, f.kdHigh);
    PutWord(s, 12, f.kdLow);
    PutWord(s, 14, f.bias);
    return s;
}

void Append(std::vector<uint8_t>& d, std::initializer_list<uint8_t> items) {
    for (uint8_t item : items)
        d.push_back(item);
}

void AppendCount(std::vector<uint8_t>& d, int32_t count) {
    if (count <= 0xFF)
        Append(d, {0x95, uint8_t(count)});
    else
        Append(d, {0x96, uint8_t(count & 0xFF), uint8_t(count >> 8)});
}

} // namespace

// ---------------------------------------------------------------------------------------------

TEmulatedHid::TEmulatedHid(uint16_t vendorID, uint16_t productID, uint16_t versionNumber,
                           std::vector<uint8_t> reportDescriptor)
    : vendorID_(vendorID), productID_(productID), versionNumber_(versionNumber),
      reportDescriptor_(std::move(reportDescriptor)) {}

void TEmulatedHid::SendInputReport(const std::vector<uint8_t>& report) {
    if (onBus_ && !report.empty() && OnInputReport)
        OnInputReport(report);
}

int32_t TEmulatedHid::GetFeature(uint8_t*, int32_t) {
    return -1;
}

int32_t TEmulatedHid::SetFeature(const uint8_t*, int32_t) {
    return -1;
}

TEmulatedHid MakeKeyboard() {
    TEmulatedHid keyboard(0x046D, 0xC31C, 0x6400, KeyboardDescriptor);
    keyboard.SetName("USB Keyboard");
    keyboard.openRefusal = TOpenRefusal::ReadWrite;   // the system holds keyboards exclusively
    return keyboard;
}

TEmulatedHid MakeMouse() {
    TEmulatedHid mouse(0x046D, 0xC077, 0x7200, MouseDescriptor);
    mouse.SetName("USB Optical Mouse");
    mouse.openRefusal = TOpenRefusal::ReadWrite;
    return mouse;
}

// ---------------------------------------------------------------------------------------------

TEmulatedPedals::TEmulatedPedals(uint16_t serialNumber)
    : TEmulatedHid(PedalsVendorID, PedalsProductID, PedalsVersion, {}), serialNumber_(serialNumber) {
    SetName("QZR Rudder Pedals");
    global_ = FactoryStructure(GlobalId);
    for (int axis = 0; axis < 3; ++axis)
        axes_[size_t(axis)] = FactoryStructure(uint8_t(FirstAxisId + axis));
}

void TEmulatedPedals::SetDeclaredFeatureLength(int32_t length) {
    declaredFeatureLength_ = std::clamp(length, 0, MaxDeclaredLength);
}

std::vector<uint8_t> TEmulatedPedals::ReportDescriptor() const {
    std::vector<uint8_t> d = {
        0x05, 0x01, 0x09, 0x04, 0xA1, 0x01,              // Generic Desktop, Joystick
        0x05, 0x02, 0x09, 0xBA,                          // Simulation Controls, Rudder
        0x15, 0x00, 0x26, 0xFF, 0x0F, 0x75, 0x0C, 0x95, 0x01, 0x81, 0x02,
        0x05, 0x01, 0x09, 0x33, 0x09, 0x34,              // Rx, Ry: the toe brakes
        0x26, 0xFF, 0x03, 0x75, 0x0A, 0x95, 0x02, 0x81, 0x02,
    };
    int32_t payload = declaredFeatureLength_ - 1;
    if (payload > 0) {
        Append(d, {0x06, 0x00, 0xFF, 0x09, 0x01,   // vendor-defined configuration
                   0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08});
        AppendCount(d, payload);
        Append(d, {0xB1, 0x02});
    }
    d.push_back(0xC0);
    return d;
}

std::vector<uint8_t> TEmulatedPedals::AxesReport(uint16_t rudder, uint16_t leftBrake,
                                                 uint16_t rightBrake) {
    const uint32_t bits = uint32_t(rudder & RudderMax) | uint32_t(leftBrake & BrakeMax) << 12 |
                          uint32_t(rightBrake & BrakeMax) << 22;
    return {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

void TEmulatedPedals::SetAxes(uint16_t rudder, uint16_t leftBrake, uint16_t rightBrake) {
    SendInputReport(AxesReport(rudder, leftBrake, rightBrake));
}

bool TEmulatedPedals::IsStructureId(uint8_t id) {
    return id == GlobalId || (id >= FirstAxisId && id < FirstAxisId + 3);
}

const TEmulatedPedals::TStructure& TEmulatedPedals::Structure(uint8_t id) const {
    static const TStructure none{};
    if (id == GlobalId)
        return global_;
    if (IsStructureId(id))
        return axes_[size_t(id - FirstAxisId)];
    return none;
}

TEmulatedPedals::TStructure& TEmulatedPedals::Slot(uint8_t id) {
    return id == GlobalId ? global_ : axes_[size_t(id - FirstAxisId)];
}

void TEmulatedPedals::SetStructure(uint8_t id, const TStructure& bytes) {
    if (IsStructureId(id))
        Slot(id) = bytes;
}

TEmulatedPedals::TStructure TEmulatedPedals::FactoryStructure(uint8_t id) const {
    if (id == GlobalId)
        return FactoryGlobal(serialNumber_);
    if (IsStructureId(id))
        return FactoryAxis(id - FirstAxisId);
    return TStructure{};
}

int32_t TEmulatedPedals::Record(TLogEntry::Kind kind, const uint8_t* bytes, int32_t moved,
                                int32_t requested, int32_t result) {
    TLogEntry entry{kind, {}, requested, result};
    if (bytes && moved > 0)
        entry.bytes.assign(bytes, bytes + moved);
    log_.push_back(std::move(entry));
    return result;
}

int32_t TEmulatedPedals::SetFeature(const uint8_t* buffer, int32_t length) {
    if (buffer == nullptr || length <= 0 || !OnBus() || setFault == TTransferFault::Fail)
        return Record(TLogEntry::Set, nullptr, 0, length, -1);
    int32_t received = length;
    if (setFault == TTransferFault::Short)
        received = std::clamp(shortTransferBytes, 1, length);
    Record(TLogEntry::Set, buffer, received, length, received);

    if (pendingWrite_ >= 0) {
        StoreStructure(buffer, received);
    } else if (received >= 4 && buffer[1] == CommandMarker) {
        HandleCommand(buffer[2], buffer[3]);
    }
    // Anything else (a frame cut short before its code, stray data) is taken and ignored.
    return received;
}

void TEmulatedPedals::StoreStructure(const uint8_t* buffer, int32_t length) {
    uint8_t id = uint8_t(pendingWrite_);
    pendingWrite_ = -1;
    if (!IsStructureId(id))
        return;
    // Bytes the report did not carry keep their old value.
    size_t carried = std::min(StructureSize, size_t(std::max(length - 1, 0)));
    std::memcpy(Slot(id).data(), buffer + 1, carried);
}

void TEmulatedPedals::HandleCommand(uint8_t code, uint8_t argument) {
    switch (code) {
    case CodeReboot:
        ++reboots_;
        DropOffBus(TBusDrop::Reboot);
        break;
    case CodeWriteDefaults:
        ++factoryResets_;
        global_ = FactoryStructure(GlobalId);
        for (int axis = 0; axis < 3; ++axis)
            axes_[size_t(axis)] = FactoryStructure(uint8_t(FirstAxisId + axis));
        break;
    case CodeCalibrCancel:
        if (calibration_ == TCalibration::Calibrating)
            ++calibrationsCancelled_;
        calibration_ = TCalibration::Idle;
        break;
    case CodeCalibrStart:
        calibration_ = TCalibration::Calibrating;
        break;
    case CodeCalibrFinish:
        if (calibration_ == TCalibration::Calibrating)
            ++calibrationsFinished_;
        calibration_ = TCalibration::Idle;
        break;
    case CodeSelectRead:
        selectedRead_ = argument;
        if (vanishAfterSelect) {
            vanishAfterSelect = false;
            DropOffBus(TBusDrop::Vanish);
        }
        break;
    case CodeSelectWrite:
        pendingWrite_ = argument;
        break;
    default:
        break;
    }
}

int32_t TEmulatedPedals::GetFeature(uint8_t* buffer, int32_t length) {
    if (buffer == nullptr || length <= 0 || !OnBus() || getFault == TTransferFault::Fail)
        return Record(TLogEntry::Get, nullptr, 0, length, -1);
    int32_t moved = length;
    if (getFault == TTransferFault::Short)
        moved = std::clamp(shortTransferBytes, 1, length);
    std::vector<uint8_t> report(size_t(moved), 0);
    const TStructure& s = Structure(selectedRead_);
    std::copy_n(s.begin(), std::min(StructureSize, size_t(moved - 1)), report.begin() + 1);
    std::copy(report.begin(), report.end(), buffer);
    return Record(TLogEntry::Get, report.data(), moved, length, moved);
}

void TEmulatedPedals::DropOffBus(TBusDrop why) {
    SetOnBus(false);
    selectedRead_ = GlobalId;
    pendingWrite_ = -1;
    calibration_ = TCalibration::Idle;
    if (OnBusDrop)
        OnBusDrop(why);
}

void TEmulatedPedals::Attach() {
    TEmulatedHid::Attach();
    selectedRead_ = GlobalId;
    pendingWrite_ = -1;
    calibration_ = TCalibration::Idle;
}

std::vector<std::vector<uint8_t>> TEmulatedPedals::ReceivedFrames() const {
    std::vector<std::vector<uint8_t>> frames;
    for (const TLogEntry& entry : log_)
        if (entry.kind == TLogEntry::Set && entry.result >= 0)
            frames.push_back(entry.bytes);
    return frames;
}

std::vector<uint8_t> TEmulatedPedals::CommandCodes() const {
    std::vector<uint8_t> codes;
    for (const auto& frame : ReceivedFrames())
        if (frame.size() >= 4 && frame[1] == CommandMarker)
            codes.push_back(frame[2]);
    return codes;
}

int TEmulatedPedals::ReadCount() const {
    return int(std::count_if(log_.begin(), log_.end(),
                             [](const TLogEntry& e) { return e.kind == TLogEntry::Get && e.result >= 0; }));
}

} // namespace qzr::sim
