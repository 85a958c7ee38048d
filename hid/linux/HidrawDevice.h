#pragma once
// One hidraw node, reached through its file descriptor: the kernel's hidraw ioctls, with the
// feature-report conventions of Windows' HidD_GetFeature/HidD_SetFeature (byte 0 of the buffer
// is the report id, 0 for a device that does not number its reports, and is counted in the
// length). Nothing here needs udev or insists on a character device.
#include <cstdint>
#include <string>
#include <vector>

#include "hid/HidReportDescriptor.h"

namespace qzr::hidraw {

struct TRawInfo {
    uint32_t busType = 0;
    uint16_t vendorID = 0;
    uint16_t productID = 0;
};

// The longest feature transfer one ioctl can carry (its size field has 14 bits), and the
// shortest the kernel takes: the report id byte and one byte of report.
constexpr int32_t MaxFeatureLength = (1 << 14) - 1;
constexpr int32_t MinFeatureLength = 2;

// HIDIOCGRDESC refuses to copy more than this, although the kernel keeps descriptors of one
// byte more; the bytes of such a descriptor beyond it cannot be read through the node.
constexpr size_t MaxDescriptorRead = 4095;

// A file descriptor, or -1 with errno set. readWrite false opens for queries only.
int OpenNode(const std::string& path, bool readWrite);
void CloseNode(int fd);

// A read-only, non-blocking descriptor for input reports, or -1 with errno set.
int OpenInputNode(const std::string& path);
// One input report: its length; 0 when none is pending; -1 when the node has gone or fails.
int32_t ReadInputReport(int fd, uint8_t* buffer, int32_t size);

bool ReadRawInfo(int fd, TRawInfo& info);
// The report descriptor, or its first MaxDescriptorRead bytes when it is longer.
bool ReadReportDescriptor(int fd, std::vector<uint8_t>& descriptor);
// Whether a descriptor read from a node may lack its tail (see TDescriptorEnd).
TDescriptorEnd EndOfReadDescriptor(const std::vector<uint8_t>& descriptor);

// Each moves exactly `length` bytes (report id included) or returns false; lengths outside
// MinFeatureLength..MaxFeatureLength are refused without a call. A set that fails is never
// repeated: even one interrupted may have reached the device.
bool GetFeature(int fd, uint8_t* buffer, int32_t length);
bool SetFeature(int fd, const uint8_t* buffer, int32_t length);

} // namespace qzr::hidraw
