#include "hid/LiveAxes.h"

#include <algorithm>
#include <cstdio>

namespace qzr {

namespace {

constexpr uint32_t MaxExtractedBits = 32;

struct TUsageName {
    uint16_t page;
    uint16_t usage;
    const char* name;
};

constexpr TUsageName AxisNames[] = {
    {GenericDesktopPage, 0x30, "X"},       {GenericDesktopPage, 0x31, "Y"},
    {GenericDesktopPage, 0x32, "Z"},       {GenericDesktopPage, 0x33, "Rx"},
    {GenericDesktopPage, 0x34, "Ry"},      {GenericDesktopPage, 0x35, "Rz"},
    {GenericDesktopPage, 0x36, "Slider"},  {GenericDesktopPage, 0x37, "Dial"},
    {GenericDesktopPage, 0x38, "Wheel"},
    {SimulationControlsPage, 0xB0, "Aileron"},     {SimulationControlsPage, 0xB8, "Elevator"},
    {SimulationControlsPage, 0xBA, "Rudder"},      {SimulationControlsPage, 0xBB, "Throttle"},
    {SimulationControlsPage, 0xC4, "Accelerator"}, {SimulationControlsPage, 0xC5, "Brake"},
    {SimulationControlsPage, 0xC6, "Clutch"},      {SimulationControlsPage, 0xC8, "Steering"},
    {SimulationControlsPage, 0xC9, "Turret"},
};

} // namespace

bool ExtractInputValue(const THidInputField& field, const uint8_t* report, size_t size,
                       bool usesReportIds, int64_t& value)
{
    if (report == nullptr || field.bitSize == 0 || field.bitSize > MaxExtractedBits)
        return false;
    const uint64_t firstBit = uint64_t(field.bitOffset) + (usesReportIds ? 8 : 0);
    const uint64_t endBit = firstBit + field.bitSize;
    if (endBit > uint64_t(size) * 8)
        return false;
    // At most five bytes hold a 32-bit value that starts anywhere within a byte.
    uint64_t bits = 0;
    const size_t firstByte = size_t(firstBit / 8);
    const size_t lastByte = size_t((endBit - 1) / 8);
    for (size_t i = lastByte + 1; i-- > firstByte;)
        bits = (bits << 8) | report[i];
    bits >>= firstBit % 8;
    const uint64_t mask = (uint64_t(1) << field.bitSize) - 1;
    bits &= mask;
    if (field.isSigned && (bits >> (field.bitSize - 1)) != 0)
        value = int64_t(bits) - int64_t(mask) - 1;
    else
        value = int64_t(bits);
    return true;
}

bool IsAxisUsage(uint16_t usagePage, uint16_t usage)
{
    if (usagePage == GenericDesktopPage)
        return usage >= 0x30 && usage <= 0x38;
    return usagePage == SimulationControlsPage;
}

std::string StandardAxisName(uint16_t usagePage, uint16_t usage)
{
    for (const TUsageName& entry : AxisNames) {
        if (entry.page == usagePage && entry.usage == usage)
            return entry.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02X:%02X", unsigned(usagePage), unsigned(usage));
    return text;
}

double TLiveAxis::Position() const
{
    const double range = double(field.logicalMax) - double(field.logicalMin);
    if (range <= 0)
        return 0;
    return std::clamp((double(value) - double(field.logicalMin)) / range, 0.0, 1.0);
}

void TLiveAxes::Reset(const THidDescriptorResult& descriptor)
{
    Clear();
    usesReportIds_ = descriptor.usesReportIds;
    for (const THidInputField& field : descriptor.inputFields) {
        if (IsAxisUsage(field.usagePage, field.usage))
            axes_.push_back({field, 0, false});
    }
}

void TLiveAxes::Clear()
{
    axes_.clear();
    usesReportIds_ = false;
}

bool TLiveAxes::ReportFits(uint8_t reportId, size_t size) const
{
    bool named = false;
    for (const TLiveAxis& axis : axes_) {
        if (axis.field.reportId != reportId)
            continue;
        named = true;
        const uint64_t endBit = uint64_t(axis.field.bitOffset) + axis.field.bitSize +
                                (usesReportIds_ ? 8 : 0);
        if (endBit > uint64_t(size) * 8)
            return false;
    }
    return named;
}

bool TLiveAxes::Feed(const uint8_t* report, size_t size)
{
    if (report == nullptr || size == 0) {
        ++ignored_;
        return false;
    }
    const uint8_t reportId = usesReportIds_ ? report[0] : 0;
    if (!ReportFits(reportId, size)) {
        ++ignored_;
        return false;
    }
    ++taken_;
    bool changed = false;
    for (TLiveAxis& axis : axes_) {
        int64_t value = 0;
        if (axis.field.reportId != reportId ||
            !ExtractInputValue(axis.field, report, size, usesReportIds_, value) ||
            (axis.field.hasNullState &&
             (value < axis.field.logicalMin || value > axis.field.logicalMax)))
            continue;
        changed = changed || !axis.received || axis.value != value;
        axis.value = value;
        axis.received = true;
    }
    return changed;
}

const TLiveAxis* TLiveAxes::Find(uint16_t usagePage, uint16_t usage) const
{
    for (const TLiveAxis& axis : axes_) {
        if (axis.field.usagePage == usagePage && axis.field.usage == usage)
            return &axis;
    }
    return nullptr;
}

} // namespace qzr
