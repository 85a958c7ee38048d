#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qzr {

using THidHandle = intptr_t;
constexpr THidHandle InvalidHidHandle = -1;

// Device-change event code of a device-node change (Windows' DBT_DEVNODES_CHANGED).
constexpr uint32_t DevNodesChanged = 7;

struct THidAttributes {
    uint32_t Size = 12;
    uint16_t VendorID = 0;
    uint16_t ProductID = 0;
    uint16_t VersionNumber = 0;
};

// The capability record as Windows' HidP_GetCaps fills it (64 bytes).
struct THidCaps {
    uint16_t Usage = 0;
    uint16_t UsagePage = 0;
    uint16_t InputReportByteLength = 0;
    uint16_t OutputReportByteLength = 0;
    uint16_t FeatureReportByteLength = 0;
    uint16_t Reserved[17] = {};
    uint16_t NumberLinkCollectionNodes = 0;
    uint16_t NumberInputButtonCaps = 0;
    uint16_t NumberInputValueCaps = 0;
    uint16_t NumberInputDataIndices = 0;
    uint16_t NumberOutputButtonCaps = 0;
    uint16_t NumberOutputValueCaps = 0;
    uint16_t NumberOutputDataIndices = 0;
    uint16_t NumberFeatureButtonCaps = 0;
    uint16_t NumberFeatureValueCaps = 0;
    uint16_t NumberFeatureDataIndices = 0;
};
static_assert(sizeof(THidCaps) == 64);

// One present HID interface: a key that identifies this plug of it, and the path to open.
// The ids are filled when the platform knows them without opening the interface.
struct THidInterface {
    std::string instanceKey;
    std::string devicePath;
    bool idsKnown = false;
    uint16_t vendorID = 0;
    uint16_t productID = 0;
};

// The operating system's HID services, as the controller and its devices use them.
class IHidPlatform {
public:
    virtual ~IHidPlatform() = default;

    // False when the services are missing: no notifications, no interfaces.
    virtual bool ServicesPresent() const = 0;
    // Snapshot of the present interfaces; false when it cannot be taken.
    virtual bool EnumerateInterfaces(std::vector<THidInterface>& interfaces) = 0;

    // InvalidHidHandle with errno telling why when the interface cannot be opened.
    virtual THidHandle Open(const std::string& path, bool readWrite) = 0;
    virtual void Close(THidHandle handle) = 0;
    virtual bool GetAttributes(THidHandle handle, THidAttributes& attributes) = 0;
    // The platform's parsed form of the device's reports (on Linux: the report descriptor).
    virtual bool GetPreparsedData(THidHandle handle, std::vector<uint8_t>& preparsed) = 0;
    virtual bool GetCaps(const std::vector<uint8_t>& preparsed, THidCaps& caps) = 0;
    virtual bool GetFeature(THidHandle handle, uint8_t* buffer, int32_t length) = 0;
    virtual bool SetFeature(THidHandle handle, const uint8_t* buffer, int32_t length) = 0;
    virtual bool SetNumInputBuffers(THidHandle, uint32_t) { return false; }
    virtual bool GetNumInputBuffers(THidHandle, uint32_t&) { return false; }

    // Device-node change notifications. The callback runs from the event loop, once per change.
    virtual void SetChangeCallback(std::function<void()> callback) = 0;
    // A descriptor that becomes readable when notifications are pending (-1: none); the event
    // loop watches it and calls DispatchNotifications, so nothing polls.
    virtual int NotificationFd() const { return -1; }
    virtual void DispatchNotifications() {}
    // Why plug and unplug go unnoticed (empty while notifications arrive).
    virtual std::string NotificationError() const { return {}; }

    // Input reports, on a handle of their own that the feature operations never see: opened
    // read-only and non-blocking, together with the device's report descriptor.
    // InvalidHidHandle when the platform or the device gives no input reports.
    virtual THidHandle OpenInput(const std::string&, std::vector<uint8_t>&) { return InvalidHidHandle; }
    virtual void CloseInput(THidHandle) {}
    // A descriptor that becomes readable when reports are pending or the device has gone.
    virtual int InputFd(THidHandle) const { return -1; }
    // One report (report id byte first when the device numbers its reports): its length; 0 when
    // none is pending; -1 when the device has gone or fails.
    virtual int32_t ReadInput(THidHandle, uint8_t*, int32_t) { return -1; }
};

} // namespace qzr
