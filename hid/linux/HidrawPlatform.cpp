#include "hid/linux/HidrawPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <libudev.h>
#include <sys/stat.h>

#include "hid/HidReportDescriptor.h"
#include "hid/linux/HidrawDevice.h"

namespace qzr {

namespace {

constexpr const char* HidrawSubsystem = "hidraw";

struct TDeviceRef {
    udev_device* device;
    ~TDeviceRef() { udev_device_unref(device); }
};

int FdOf(THidHandle handle)
{
    return handle >= 0 && handle <= INT32_MAX ? static_cast<int>(handle) : -1;
}

bool IsPlugAction(const char* action)
{
    return action != nullptr &&
           (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
}

} // namespace

THidrawPlatform::THidrawPlatform()
    : udev_(udev_new())
{
    if (udev_ != nullptr)
        StartMonitor();
    else
        monitorError_ = "udev is not available";
}

THidrawPlatform::~THidrawPlatform()
{
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

void THidrawPlatform::StartMonitor()
{
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr) {
        monitorError_ = "cannot open the udev netlink socket";
        return;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, HidrawSubsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        monitorError_ = "cannot receive udev events";
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
}

// The HID device's sysfs name (bus:vendor:product.sequence) gets a new sequence number at every
// plug, while hidraw minor numbers are handed out again.
std::string THidrawPlatform::InstanceKeyOf(udev_device* hidraw)
{
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char* name = hid != nullptr ? udev_device_get_sysname(hid) : nullptr;
    if (name == nullptr)
        name = udev_device_get_syspath(hidraw);
    return name != nullptr ? name : "";
}

// The ids of the HID device above the node, from its HID_ID property (bus:vendor:product, in
// hex), which udev knows without the node being opened.
THidInterface THidrawPlatform::InterfaceOf(udev_device* hidraw, const char* node)
{
    THidInterface interface{InstanceKeyOf(hidraw), node};
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char* id = hid != nullptr ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    unsigned bus = 0, vendor = 0, product = 0;
    if (id != nullptr && std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3 &&
        vendor <= 0xFFFF && product <= 0xFFFF) {
        interface.idsKnown = true;
        interface.vendorID = static_cast<uint16_t>(vendor);
        interface.productID = static_cast<uint16_t>(product);
    }
    return interface;
}

THidInterface THidrawPlatform::InterfaceOfNode(const std::string& path) const
{
    struct stat status{};
    if (udev_ == nullptr || ::stat(path.c_str(), &status) != 0 || !S_ISCHR(status.st_mode))
        return {"-", path};
    TDeviceRef hidraw{udev_device_new_from_devnum(udev_, 'c', status.st_rdev)};
    const char* subsystem =
        hidraw.device != nullptr ? udev_device_get_subsystem(hidraw.device) : nullptr;
    if (subsystem == nullptr || std::strcmp(subsystem, HidrawSubsystem) != 0)
        return {"-", path};
    return InterfaceOf(hidraw.device, path.c_str());
}

bool THidrawPlatform::EnumerateInterfaces(std::vector<THidInterface>& interfaces)
{
    interfaces.clear();
    if (udev_ == nullptr)
        return false;
    udev_enumerate* enumeration = udev_enumerate_new(udev_);
    if (enumeration == nullptr)
        return false;
    bool scanned = udev_enumerate_add_match_subsystem(enumeration, HidrawSubsystem) >= 0 &&
                   udev_enumerate_scan_devices(enumeration) >= 0;
    udev_list_entry* entry = scanned ? udev_enumerate_get_list_entry(enumeration) : nullptr;
    for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
        TDeviceRef hidraw{udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry))};
        if (hidraw.device == nullptr)
            continue;
        const char* node = udev_device_get_devnode(hidraw.device);
        if (node != nullptr)
            interfaces.push_back(InterfaceOf(hidraw.device, node));
    }
    udev_enumerate_unref(enumeration);
    return scanned;
}

THidHandle THidrawPlatform::Open(const std::string& path, bool readWrite)
{
    const int fd = hidraw::OpenNode(path, readWrite);
    return fd >= 0 ? fd : InvalidHidHandle;
}

void THidrawPlatform::Close(THidHandle handle)
{
    hidraw::CloseNode(FdOf(handle));
}

bool THidrawPlatform::GetAttributes(THidHandle handle, THidAttributes& attributes)
{
    const int fd = FdOf(handle);
    hidraw::TRawInfo info;
    if (fd < 0 || !hidraw::ReadRawInfo(fd, info))
        return false;
    attributes.Size = sizeof(THidAttributes);
    attributes.VendorID = info.vendorID;
    attributes.ProductID = info.productID;
    attributes.VersionNumber = UsbVersionOf(fd);
    return true;
}

// bcdDevice of the USB device above the node; 0 for a node that is not a USB device's (or not
// a device node at all).
uint16_t THidrawPlatform::UsbVersionOf(int fd) const
{
    struct stat status{};
    if (udev_ == nullptr || ::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode))
        return 0;
    TDeviceRef hidraw{udev_device_new_from_devnum(udev_, 'c', status.st_rdev)};
    if (hidraw.device == nullptr)
        return 0;
    udev_device* usb =
        udev_device_get_parent_with_subsystem_devtype(hidraw.device, "usb", "usb_device");
    const char* bcd = usb != nullptr ? udev_device_get_sysattr_value(usb, "bcdDevice") : nullptr;
    if (bcd == nullptr)
        return 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(bcd, &end, 16);
    return end != bcd && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

bool THidrawPlatform::GetPreparsedData(THidHandle handle, std::vector<uint8_t>& preparsed)
{
    const int fd = FdOf(handle);
    return fd >= 0 && hidraw::ReadReportDescriptor(fd, preparsed);
}

bool THidrawPlatform::GetCaps(const std::vector<uint8_t>& preparsed, THidCaps& caps)
{
    return CapsFromReportDescriptor(preparsed, caps, hidraw::EndOfReadDescriptor(preparsed));
}

bool THidrawPlatform::GetFeature(THidHandle handle, uint8_t* buffer, int32_t length)
{
    const int fd = FdOf(handle);
    return fd >= 0 && hidraw::GetFeature(fd, buffer, length);
}

bool THidrawPlatform::SetFeature(THidHandle handle, const uint8_t* buffer, int32_t length)
{
    const int fd = FdOf(handle);
    return fd >= 0 && hidraw::SetFeature(fd, buffer, length);
}

// A descriptor of its own, so reading never disturbs the feature file that the device object
// opens and closes; hidraw gives every open file its own queue of reports.
THidHandle THidrawPlatform::OpenInput(const std::string& path, std::vector<uint8_t>& descriptor)
{
    const int fd = hidraw::OpenInputNode(path);
    if (fd < 0)
        return InvalidHidHandle;
    if (!hidraw::ReadReportDescriptor(fd, descriptor)) {
        hidraw::CloseNode(fd);
        return InvalidHidHandle;
    }
    return fd;
}

void THidrawPlatform::CloseInput(THidHandle input)
{
    hidraw::CloseNode(FdOf(input));
}

int THidrawPlatform::InputFd(THidHandle input) const
{
    return FdOf(input);
}

int32_t THidrawPlatform::ReadInput(THidHandle input, uint8_t* buffer, int32_t size)
{
    return hidraw::ReadInputReport(FdOf(input), buffer, size);
}

void THidrawPlatform::SetChangeCallback(std::function<void()> callback)
{
    changeCallback_ = std::move(callback);
}

int THidrawPlatform::NotificationFd() const
{
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

// Drains the monitor; each arrival or removal is one announcement. The callback may run a
// nested event loop that dispatches again, so no device is held across it.
void THidrawPlatform::DispatchNotifications()
{
    if (monitor_ == nullptr)
        return;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const bool plug = IsPlugAction(udev_device_get_action(device));
        udev_device_unref(device);
        if (plug && changeCallback_)
            changeCallback_();
    }
}

} // namespace qzr
