#pragma once
// Emulated HID devices: the pedal controller with its feature-report protocol, and plain
// devices (a keyboard, a mouse) that are not the pedals. Nothing here knows how the device is
// reached: the simulated platform calls it directly, a hidraw fixture can call it from its
// ioctl handlers. Every transfer returns the bytes moved, report id included, or -1.
#include <array>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qzr::sim {

// How far a device lets itself be opened.
enum class TOpenRefusal {
    None,        // read-write
    ReadWrite,   // query-only access only
    All,         // not at all
};

// What a feature transfer in one direction does.
enum class TTransferFault {
    None,
    Short,    // moves only `shortTransferBytes` bytes (report id included) and returns that
    Fail,     // moves nothing and returns -1
};

// Why a device left the bus.
enum class TBusDrop {
    Reboot,   // it comes back a moment later, as a new plug
    Vanish,   // it stays away until plugged in again
};

// A HID interface as seen through its file: identity, report descriptor, feature reports.
class TEmulatedHid {
public:
    TEmulatedHid(uint16_t vendorID, uint16_t productID, uint16_t versionNumber,
                 std::vector<uint8_t> reportDescriptor);
    virtual ~TEmulatedHid() = default;

    uint16_t VendorID() const { return vendorID_; }
    uint16_t ProductID() const { return productID_; }
    uint16_t VersionNumber() const { return versionNumber_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    virtual std::vector<uint8_t> ReportDescriptor() const { return reportDescriptor_; }

    // A device without feature reports stalls every feature request.
    virtual int32_t GetFeature(uint8_t* buffer, int32_t length);
    virtual int32_t SetFeature(const uint8_t* buffer, int32_t length);

    // Whether the device currently answers on the bus; a device off the bus fails everything.
    bool OnBus() const { return onBus_; }
    // Put on the bus by whoever plugs it in (again).
    virtual void Attach() { onBus_ = true; }

    TOpenRefusal openRefusal = TOpenRefusal::None;
    int refusalErrno = EACCES;    // what a refused open reports
    bool identifyFails = false;   // its attributes (vendor, product, version) cannot be read

    // Sends one input report (its report id byte first when the descriptor numbers reports) to
    // whoever reads the device's input; lost while the device is off the bus or nobody reads.
    void SendInputReport(const std::vector<uint8_t>& report);
    // Set by the bus the device is plugged into.
    std::function<void(const std::vector<uint8_t>&)> OnInputReport;

protected:
    void SetOnBus(bool onBus) { onBus_ = onBus; }

private:
    uint16_t vendorID_;
    uint16_t productID_;
    uint16_t versionNumber_;
    std::vector<uint8_t> reportDescriptor_;
    std::string name_;
    bool onBus_ = true;
};

// A boot keyboard (input 8 bytes, LED output 1 byte) and a three-button wheel mouse.
TEmulatedHid MakeKeyboard();
TEmulatedHid MakeMouse();

// The rudder pedal controller (vendor 0x16C0, product 0x0612). Its one feature report carries
// no report id (byte 0 is 0). A frame 00 A5 code arg is a command; after select-write the next
// report is the structure; after select-read every read returns the selected structure.
class TEmulatedPedals : public TEmulatedHid {
public:
    static constexpr uint16_t PedalsVendorID = 0x16C0;
    static constexpr uint16_t PedalsProductID = 0x0612;
    static constexpr uint16_t PedalsVersion = 0x0110;
    static constexpr int32_t NormalFeatureLength = 17;   // as the descriptor counts it
    static constexpr size_t StructureSize = 16;          // bytes 1..16 of the report

    using TStructure = std::array<uint8_t, StructureSize>;

    // The input report: rudder (12 bits, Simulation Controls), left and right toe brake
    // (10 bits each, Generic Desktop Rx and Ry), packed from bit 0, no report id.
    static constexpr uint16_t RudderMax = 0x0FFF;
    static constexpr uint16_t BrakeMax = 0x03FF;
    static std::vector<uint8_t> AxesReport(uint16_t rudder, uint16_t leftBrake, uint16_t rightBrake);
    // Moves the pedals: sends the input report of these positions.
    void SetAxes(uint16_t rudder, uint16_t leftBrake, uint16_t rightBrake);

    enum class TCalibration { Idle, Calibrating };

    // One transfer as the device saw it.
    struct TLogEntry {
        enum Kind { Set, Get } kind;
        std::vector<uint8_t> bytes;   // Set: the bytes received; Get: the bytes returned
        int32_t requested = 0;        // the length the host asked for
        int32_t result = 0;           // what the transfer returned
    };

    explicit TEmulatedPedals(uint16_t serialNumber = 0x04D2);

    // The feature report length the descriptor declares, counted with the report id byte
    // (0: no feature report at all). Any value from 0 up to 4096; 1 declares none, like 0.
    void SetDeclaredFeatureLength(int32_t length);
    int32_t DeclaredFeatureLength() const { return declaredFeatureLength_; }
    std::vector<uint8_t> ReportDescriptor() const override;

    int32_t GetFeature(uint8_t* buffer, int32_t length) override;
    int32_t SetFeature(const uint8_t* buffer, int32_t length) override;

    // Back on the bus after a reboot or a vanish: fresh state, structures kept.
    void Attach() override;

    // The structures: 0 Global, 16..18 the axes. Unknown ids read as zeros.
    static bool IsStructureId(uint8_t id);
    const TStructure& Structure(uint8_t id) const;
    void SetStructure(uint8_t id, const TStructure& bytes);
    TStructure FactoryStructure(uint8_t id) const;
    uint16_t SerialNumber() const { return serialNumber_; }

    TCalibration Calibration() const { return calibration_; }
    int CalibrationsFinished() const { return calibrationsFinished_; }
    int CalibrationsCancelled() const { return calibrationsCancelled_; }
    int Reboots() const { return reboots_; }
    int FactoryResets() const { return factoryResets_; }

    // Every transfer, in order, and the command codes of the command frames among them.
    const std::vector<TLogEntry>& Log() const { return log_; }
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;   // the Set entries' bytes
    std::vector<uint8_t> CommandCodes() const;                  // code of every 00 A5 frame
    int ReadCount() const;
    void ClearLog() { log_.clear(); }

    // Misbehaviour switches (openRefusal is inherited).
    TTransferFault getFault = TTransferFault::None;
    TTransferFault setFault = TTransferFault::None;
    int32_t shortTransferBytes = 5;
    bool vanishAfterSelect = false;   // drops off the bus on the next select-read frame

    // Told when the device leaves the bus (reboot command, vanish). The host removes it, and
    // after a reboot plugs it in again a moment later.
    std::function<void(TBusDrop)> OnBusDrop;

private:
    void HandleCommand(uint8_t code, uint8_t argument);
    void StoreStructure(const uint8_t* buffer, int32_t length);
    void DropOffBus(TBusDrop why);
    TStructure& Slot(uint8_t id);
    int32_t Record(TLogEntry::Kind kind, const uint8_t* bytes, int32_t moved, int32_t requested,
                   int32_t result);

    uint16_t serialNumber_;
    int32_t declaredFeatureLength_ = NormalFeatureLength;
    TStructure global_{};
    std::array<TStructure, 3> axes_{};
    uint8_t selectedRead_ = 0;
    int pendingWrite_ = -1;   // structure id after select-write, until the next report
    TCalibration calibration_ = TCalibration::Idle;
    int calibrationsFinished_ = 0;
    int calibrationsCancelled_ = 0;
    int reboots_ = 0;
    int factoryResets_ = 0;
    std::vector<TLogEntry> log_;
};

} // namespace qzr::sim
