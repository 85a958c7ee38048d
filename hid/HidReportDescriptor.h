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

struct THidDescriptorResult {
    bool ok = false;
    std::string error;          // why the descriptor was refused, when !ok
    THidReportLengths lengths;
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
