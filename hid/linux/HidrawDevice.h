#pragma once
// One hidraw node, reached through its file descriptor: the kernel's hidraw ioctls, with the
// feature-report conventions of Windows' HidD_GetFeature/HidD_SetFeature (byte 0 of the buffer
// is the report id, 0 for a device that does not number its reports, and is counted in the
// length). Nothing here needs udev or insists on a character device.
#include <cstdint>
#include <string>
#include <vector>

namespace qzr::hidraw {

struct TRawInfo {
    uint32_t busType = 0;
    uint16_t vendorID = 0;
    uint16_t productID = 0;
};

// The longest feature transfer one ioctl can carry (its size field has 14 bits).
constexpr int32_t MaxFeatureLength = (1 << 14) - 1;

// A file descriptor, or -1 with errno set. readWrite false opens for queries only.
int OpenNode(const std::string& path, bool readWrite);
void CloseNode(int fd);

// A read-only, non-blocking descriptor for input reports, or -1 with errno set.
int OpenInputNode(const std::string& path);
// One input report: its length; 0 when none is pending; -1 when the node has gone or fails.
int32_t ReadInputReport(int fd, uint8_t* buffer, int32_t size);

bool ReadRawInfo(int fd, TRawInfo& info);
bool ReadReportDescriptor(int fd, std::vector<uint8_t>& descriptor);

// Each moves exactly `length` bytes (report id included) or returns false.
bool GetFeature(int fd, uint8_t* buffer, int32_t length);
bool SetFeature(int fd, const uint8_t* buffer, int32_t length);

} // namespace qzr::hidraw
