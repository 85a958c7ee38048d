#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hid/HidPlatform.h"

namespace qzr {

// Byte lengths of the largest input, output and feature report a descriptor declares, counted
// as Windows' HidP_GetCaps counts them: the report's bytes plus one for the report id byte,
// whether the device numbers its reports or not; 0 for a kind without reports.
struct THidReportLengths {
    uint16_t input = 0;
    uint16_t output = 0;
    uint16_t feature = 0;
};

// One value of an input report: a variable, non-constant input field and one of its usages.
// bitOffset counts from the first bit after the report id byte (from bit 0 of the report when
// the device does not number its reports).
struct THidInputField {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint8_t reportId = 0;       // 0 when the descriptor declares no report ids
    uint32_t bitOffset = 0;
    uint32_t bitSize = 0;
    int64_t logicalMin = 0;
    int64_t logicalMax = 0;
    bool isSigned = false;      // the logical minimum is negative: values are two's complement
    bool hasNullState = false;  // a value outside the logical range means "no value"
};

// More value fields than any real device has; a descriptor that declares more lists only these.
constexpr size_t MaxInputFields = 1024;

struct THidDescriptorResult {
    bool ok = false;
    std::string error;          // why the descriptor was refused, when !ok
    THidReportLengths lengths;
    std::vector<THidInputField> inputFields;   // by report id, then in the order of their bits
    bool usesReportIds = false;
};

// Whether the bytes are the whole descriptor, or may lack its tail: hidraw hands out at most
// 4095 bytes of a descriptor the kernel keeps up to 4096 bytes of. The end of a cut descriptor
// is taken as it comes: collections left open are closed, an item cut short counts by its
// prefix byte (the data of a main item does not change report lengths).
enum class TDescriptorEnd { Whole, MayBeCut };

THidDescriptorResult ParseReportDescriptor(const uint8_t* data, size_t size,
                                           TDescriptorEnd end = TDescriptorEnd::Whole);
inline THidDescriptorResult ParseReportDescriptor(const std::vector<uint8_t>& d,
                                                  TDescriptorEnd end = TDescriptorEnd::Whole) {
    return ParseReportDescriptor(d.data(), d.size(), end);
}

// The capability record of a device with this report descriptor: its three report lengths,
// the rest zero. False, with an all-zero record, for a malformed descriptor.
bool CapsFromReportDescriptor(const std::vector<uint8_t>& descriptor, THidCaps& caps,
                              TDescriptorEnd end = TDescriptorEnd::Whole);

} // namespace qzr
