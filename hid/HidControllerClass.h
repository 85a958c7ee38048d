#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "hid/EventPoster.h"
#include "hid/FeatureDevice.h"
#include "hid/HidDiagnosis.h"
#include "hid/HidPlatform.h"

namespace qzr {

class THidDevice;
class THidDeviceController;

using THidEnumerateEvent = std::function<bool(THidDevice& HidDev, int32_t Idx)>;
using THidPlugEvent = std::function<void(THidDevice& HidDev)>;
using TNotifyEvent = std::function<void(THidDeviceController& Sender)>;

// Raised while building a device object; the controller catches it itself.
class EControllerError : public std::runtime_error {
public:
    explicit EControllerError(const std::string& message, int systemError = 0)
        : std::runtime_error(message), systemError_(systemError) {}
    int SystemError() const { return systemError_; }   // the errno behind it, 0 if none

private:
    int systemError_;
};

// Identity and path of one HID interface.
class THidPnPInfo {
public:
    THidPnPInfo(std::string deviceInstance, std::string devicePath)
        : DeviceInstance(std::move(deviceInstance)), DevicePath(std::move(devicePath)) {}
    std::string DeviceInstance;   // key by which old and new entries are matched
    std::string DevicePath;
};

// One HID interface. Owned by the controller's list; the application only borrows it.
class THidDevice : public IFeatureDevice {
public:
    // Opens the path, reads the attributes and closes it again; throws EControllerError with
    // "Device cannot be opened" or "Device cannot be identified".
    THidDevice(THidDeviceController* controller, IHidPlatform& platform, THidPnPInfo info,
               THidPlugEvent unplugHandler);
    ~THidDevice() override;
    THidDevice(const THidDevice&) = delete;
    THidDevice& operator=(const THidDevice&) = delete;

    uint16_t VendorID() const { return attributes_.VendorID; }
    uint16_t ProductID() const { return attributes_.ProductID; }
    uint16_t VersionNumber() const { return attributes_.VersionNumber; }
    const THidAttributes& Attributes() const { return attributes_; }
    const THidPnPInfo& PnPInfo() const { return pnpInfo_; }

    bool IsPluggedIn() const { return pluggedIn_; }
    bool IsCheckedOut() const { return checkedOut_; }
    bool IsInHandler() const { return inHandler_; }
    bool IsAccessible() const { return pluggedIn_ && (checkedOut_ || inHandler_); }
    bool HasOpenFile() const { return handle_ != InvalidHidHandle; }
    bool HasReadWriteAccess() const { return readWrite_; }
    THidDeviceController* Controller() const { return controller_; }

    void QueryCaps(THidCaps& caps);
    bool GetFeatureReport(uint8_t* buffer, int32_t length) override;
    bool SetFeatureReport(const uint8_t* buffer, int32_t length) override;
    bool EnsureOpen();
    void CloseHandles();
    void Unplug();

    int32_t NumInputBuffers = 0;   // 0 leaves the platform default

private:
    friend class THidDeviceController;
    THidHandle OpenPath();

    THidDeviceController* controller_;
    IHidPlatform& platform_;
    THidPnPInfo pnpInfo_;
    THidPlugEvent unplugHandler_;
    THidAttributes attributes_;
    std::vector<uint8_t> preparsed_;
    bool preparsedFetched_ = false;
    THidHandle handle_ = InvalidHidHandle;
    bool readWrite_ = false;
    bool pluggedIn_ = true;
    bool checkedOut_ = false;
    bool inHandler_ = false;
};

// Keeps one THidDevice per HID interface the platform reports, follows device-node changes
// and lends devices out (check-out). Everything runs on the user-interface thread.
class THidDeviceController {
public:
    // Posts the start-up announcement into the event loop when the services are present.
    THidDeviceController(IHidPlatform& platform, IEventPoster& poster);
    ~THidDeviceController();
    THidDeviceController(const THidDeviceController&) = delete;
    THidDeviceController& operator=(const THidDeviceController&) = delete;

    THidEnumerateEvent OnEnumerate;
    TNotifyEvent OnDeviceChange;
    THidPlugEvent OnArrival;
    THidPlugEvent OnRemoval;
    THidPlugEvent OnDeviceUnplug;

    int32_t OfferDevices();
    bool CheckOutAt(int32_t Idx, THidDevice*& HidDev);
    void DeviceChange();

    // The notification "window procedure": handles DevNodesChanged unless a comparison runs.
    void HandleDeviceChangeMessage(uint32_t event, int32_t parameter);

    int32_t Count() const { return static_cast<int32_t>(devices_.size()); }
    THidDevice& At(int32_t index) const { return *devices_.at(static_cast<size_t>(index)); }

    int32_t CheckedInCount() const { return checkedIn_; }
    int32_t CheckedOutCount() const { return checkedOut_; }
    int32_t UnpluggedCount() const { return unplugged_; }
    bool InChange() const { return inChange_; }
    int32_t LastAnnouncementParameter() const { return lastParameter_; }
    std::string Version() const { return "1.0.35"; }
    int32_t DevThreadSleepTime() const { return sleepTime_; }
    // What the last comparison listed and what opening each interface gave.
    const THidListing& LastListing() const { return lastListing_; }
    std::string NotificationError() const { return platform_.NotificationError(); }
    void SetDevThreadSleepTime(int32_t value) { sleepTime_ = value; }

private:
    std::vector<std::unique_ptr<THidDevice>> BuildPresentList();
    void Recount();

    IHidPlatform& platform_;
    IEventPoster& poster_;
    std::vector<std::unique_ptr<THidDevice>> devices_;
    THidListing lastListing_;
    std::shared_ptr<bool> alive_;   // posted work checks it: nothing runs after destruction
    bool destroying_ = false;
    bool inChange_ = false;
    int32_t lastParameter_ = 0;
    int32_t checkedIn_ = 0;
    int32_t checkedOut_ = 0;
    int32_t unplugged_ = 0;
    int32_t sleepTime_ = 100;
};

} // namespace qzr
