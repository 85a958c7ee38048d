#pragma once
// The pedals' axes as their input reports show them: which values of the input report are
// axes, their names, and the latest value of each. Malformed or short reports change nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hid/HidReportDescriptor.h"

namespace qzr {

constexpr uint16_t GenericDesktopPage = 0x01;
constexpr uint16_t SimulationControlsPage = 0x02;

// The value of `field` in one input report as the device delivers it: the report id byte
// first when the device numbers its reports, then the report's bits, least significant first.
// False when the report is too short to hold the field or the field is wider than 32 bits.
bool ExtractInputValue(const THidInputField& field, const uint8_t* report, size_t size,
                       bool usesReportIds, int64_t& value);

// Generic Desktop X to Wheel and every Simulation Controls value.
bool IsAxisUsage(uint16_t usagePage, uint16_t usage);
// "X", "Rz", "Rudder", "Brake"...; for a usage without a common name its page and code in hex.
std::string StandardAxisName(uint16_t usagePage, uint16_t usage);

struct TLiveAxis {
    THidInputField field;
    int64_t value = 0;
    bool received = false;   // a report has carried a valid value

    // Where the value lies between the logical minimum (0) and maximum (1), held to that span.
    double Position() const;
};

class TLiveAxes {
public:
    // Takes the axis fields of a parsed report descriptor; forgets all values.
    void Reset(const THidDescriptorResult& descriptor);
    void Clear();

    // One input report as read from the device. True when a value changed. A report whose id
    // names no axes, or that is too short for any axis of its id, is ignored as a whole; a value
    // outside its logical range, in a field that declares a null state, is "no value" and ignored
    // alone (elsewhere such a value is taken: many devices declare a narrower range than they use).
    bool Feed(const uint8_t* report, size_t size);

    const std::vector<TLiveAxis>& Axes() const { return axes_; }
    const TLiveAxis* Find(uint16_t usagePage, uint16_t usage) const;
    uint64_t ReportsTaken() const { return taken_; }
    uint64_t ReportsIgnored() const { return ignored_; }

private:
    bool ReportFits(uint8_t reportId, size_t size) const;

    std::vector<TLiveAxis> axes_;
    bool usesReportIds_ = false;
    uint64_t taken_ = 0;
    uint64_t ignored_ = 0;
};

} // namespace qzr
