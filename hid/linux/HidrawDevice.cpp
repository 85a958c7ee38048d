#include "hid/linux/HidrawDevice.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qzr::hidraw {

static_assert(MaxDescriptorRead == HID_MAX_DESCRIPTOR_SIZE - 1);

namespace {

// Only for requests that change nothing on the device: a set is never repeated.
int RetryIoctl(int fd, unsigned long request, void* argument)
{
    int result;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

bool FeatureLengthAllowed(int32_t length)
{
    return length >= MinFeatureLength && length <= MaxFeatureLength;
}

} // namespace

int OpenNode(const std::string& path, bool readWrite)
{
    const int access = readWrite ? O_RDWR : O_RDONLY;
    int fd;
    do {
        fd = ::open(path.c_str(), access | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void CloseNode(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

int OpenInputNode(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int32_t ReadInputReport(int fd, uint8_t* buffer, int32_t size)
{
    if (fd < 0 || buffer == nullptr || size <= 0)
        return -1;
    ssize_t got;
    do {
        got = ::read(fd, buffer, size_t(size));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    return static_cast<int32_t>(got);
}

bool ReadRawInfo(int fd, TRawInfo& info)
{
    hidraw_devinfo raw{};
    if (RetryIoctl(fd, HIDIOCGRAWINFO, &raw) < 0)
        return false;
    info.busType = raw.bustype;
    info.vendorID = static_cast<uint16_t>(raw.vendor);
    info.productID = static_cast<uint16_t>(raw.product);
    return true;
}

bool ReadReportDescriptor(int fd, std::vector<uint8_t>& descriptor)
{
    int size = 0;
    if (RetryIoctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE)
        return false;
    hidraw_report_descriptor raw{};
    raw.size = static_cast<uint32_t>(std::min(static_cast<size_t>(size), MaxDescriptorRead));
    if (RetryIoctl(fd, HIDIOCGRDESC, &raw) < 0)
        return false;
    descriptor.assign(raw.value, raw.value + raw.size);
    return true;
}

// A node's descriptor has passed the kernel's parser, which refuses open collections and cut
// items: a read of the longest size that ends so has lost its tail.
TDescriptorEnd EndOfReadDescriptor(const std::vector<uint8_t>& descriptor)
{
    return descriptor.size() == MaxDescriptorRead ? TDescriptorEnd::MayBeCut
                                                  : TDescriptorEnd::Whole;
}

bool GetFeature(int fd, uint8_t* buffer, int32_t length)
{
    if (buffer == nullptr || !FeatureLengthAllowed(length))
        return false;
    const int moved = RetryIoctl(fd, HIDIOCGFEATURE(length), buffer);
    return moved == length;
}

bool SetFeature(int fd, const uint8_t* buffer, int32_t length)
{
    if (buffer == nullptr || !FeatureLengthAllowed(length))
        return false;
    // The request is declared read-write, so a driver may copy the report back: give it a
    // copy rather than the caller's buffer.
    std::vector<uint8_t> report(buffer, buffer + length);
    const int moved = ::ioctl(fd, HIDIOCSFEATURE(length), report.data());
    return moved == length;
}

} // namespace qzr::hidraw
