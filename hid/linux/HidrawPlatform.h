#pragma once
// The HID services of Linux: udev lists the hidraw nodes and reports their arrival and
// removal; the nodes themselves are reached through the hidraw ioctls.
#include <functional>
#include <string>
#include <vector>

#include "hid/HidPlatform.h"

struct udev;
struct udev_device;
struct udev_monitor;

namespace qzr {

class THidrawPlatform : public IHidPlatform {
public:
    THidrawPlatform();
    ~THidrawPlatform() override;
    THidrawPlatform(const THidrawPlatform&) = delete;
    THidrawPlatform& operator=(const THidrawPlatform&) = delete;

    bool ServicesPresent() const override { return udev_ != nullptr; }
    bool EnumerateInterfaces(std::vector<THidInterface>& interfaces) override;

    THidHandle Open(const std::string& path, bool readWrite) override;
    void Close(THidHandle handle) override;
    bool GetAttributes(THidHandle handle, THidAttributes& attributes) override;
    bool GetPreparsedData(THidHandle handle, std::vector<uint8_t>& preparsed) override;
    bool GetCaps(const std::vector<uint8_t>& preparsed, THidCaps& caps) override;
    bool GetFeature(THidHandle handle, uint8_t* buffer, int32_t length) override;
    bool SetFeature(THidHandle handle, const uint8_t* buffer, int32_t length) override;

    THidHandle OpenInput(const std::string& path, std::vector<uint8_t>& descriptor) override;
    void CloseInput(THidHandle input) override;
    int InputFd(THidHandle input) const override;
    int32_t ReadInput(THidHandle input, uint8_t* buffer, int32_t size) override;

    void SetChangeCallback(std::function<void()> callback) override;
    int NotificationFd() const override;
    void DispatchNotifications() override;

    // Why the device-change monitor could not be started (empty when it runs).
    const std::string& MonitorError() const { return monitorError_; }
    std::string NotificationError() const override { return monitorError_; }

    // A node named by its path, with its key and ids from udev when it is a hidraw device
    // node; key "-" and no ids otherwise. Nothing is opened.
    THidInterface InterfaceOfNode(const std::string& path) const;

private:
    void StartMonitor();
    uint16_t UsbVersionOf(int fd) const;
    static std::string InstanceKeyOf(udev_device* hidraw);
    static THidInterface InterfaceOf(udev_device* hidraw, const char* node);

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::string monitorError_;
    std::function<void()> changeCallback_;
};

} // namespace qzr
