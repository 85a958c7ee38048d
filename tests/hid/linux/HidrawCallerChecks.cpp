// The part of the kernel's HIDIOCGRDESC that a FUSE file cannot play: the request only reads,
// so FUSE passes the file server none of the caller's structure and the size asked for never
// reaches it. The hidraw tests' binary defines ioctl itself, so that request is checked here, on
// the caller's side, as hidraw checks it: more than HID_MAX_DESCRIPTOR_SIZE - 1 bytes is EINVAL,
// and only min(descriptor size, size asked for) bytes are copied, the size field left alone.
// Every other request goes to the kernel untouched.
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

long KernelIoctl(int fd, unsigned long request, void* argument)
{
    return ::syscall(SYS_ioctl, fd, request, argument);
}

int ReadDescriptorAsHidraw(int fd, hidraw_report_descriptor* caller)
{
    if (caller->size > HID_MAX_DESCRIPTOR_SIZE - 1) {
        errno = EINVAL;
        return -1;
    }
    hidraw_report_descriptor whole{};
    if (KernelIoctl(fd, HIDIOCGRDESC, &whole) < 0)
        return -1;
    std::memcpy(caller->value, whole.value, std::min(whole.size, caller->size));
    return 0;
}

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request == HIDIOCGRDESC)
        return ReadDescriptorAsHidraw(fd, static_cast<hidraw_report_descriptor*>(argument));
    return static_cast<int>(KernelIoctl(fd, request, argument));
}
