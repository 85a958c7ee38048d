#pragma once
// A HID platform that lives in memory: emulated devices are plugged in and out, each plug
// gets a new instance key, and every plug or unplug posts a change notification into the
// event loop, the way the operating system's device-change message arrives.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hid/EventPoster.h"
#include "hid/HidPlatform.h"
#include "hid/sim/EmulatedPedals.h"

namespace qzr::sim {

class TSimulatedPlatform : public IHidPlatform {
public:
    explicit TSimulatedPlatform(IEventPoster& poster, bool servicesPresent = true);
    ~TSimulatedPlatform() override;
    TSimulatedPlatform(const TSimulatedPlatform&) = delete;
    TSimulatedPlatform& operator=(const TSimulatedPlatform&) = delete;

    // Puts the device on the bus and lists it; returns its new instance key ("" when the
    // device is plugged in already). A device that reboots is plugged in again by itself,
    // `rebootDelayMs` after it dropped off.
    std::string Plug(std::shared_ptr<TEmulatedHid> device);
    std::shared_ptr<TEmulatedPedals> PlugPedals(uint16_t serialNumber = 0x04D2);
    std::shared_ptr<TEmulatedHid> PlugKeyboard();
    std::shared_ptr<TEmulatedHid> PlugMouse();
    // Takes the device off the list; its open handles fail from now on. False if not listed.
    bool Unplug(const TEmulatedHid& device);
    // A device-node change that concerns no HID interface.
    void NotifyUnrelatedChange();

    bool IsPlugged(const TEmulatedHid& device) const;
    std::string InstanceKeyOf(const TEmulatedHid& device) const;   // "" when not plugged
    std::string PathOf(const TEmulatedHid& device) const;
    size_t InterfaceCount() const { return plugs_.size(); }

    int OpenHandleCount() const { return static_cast<int>(handles_.size()); }
    int OpenHandleCount(const TEmulatedHid& device) const;
    int EnumerationCount() const { return enumerations_; }
    int OpenCount() const { return opens_; }
    int PreparsedFetchCount() const { return preparsedFetches_; }
    int FeatureCallCount() const { return featureCalls_; }   // GetFeature and SetFeature
    int InputOpenCount() const { return static_cast<int>(inputs_.size()); }
    int InputReadCount() const { return inputReads_; }
    // The sending end of the device's first open input, for a sender on another thread (as a
    // USB host controller is): each write of up to 4096 bytes is one report. -1 when none.
    int InputSenderFd(const TEmulatedHid& device) const;

    bool servicesPresent;
    bool enumerationFails = false;
    // Set: plug and unplug are no longer announced, as when the udev monitor cannot start.
    std::string notificationError;
    uint32_t rebootDelayMs = 300;

    // IHidPlatform
    bool ServicesPresent() const override { return servicesPresent; }
    bool EnumerateInterfaces(std::vector<THidInterface>& interfaces) override;
    THidHandle Open(const std::string& path, bool readWrite) override;
    void Close(THidHandle handle) override;
    bool GetAttributes(THidHandle handle, THidAttributes& attributes) override;
    bool GetPreparsedData(THidHandle handle, std::vector<uint8_t>& preparsed) override;
    bool GetCaps(const std::vector<uint8_t>& preparsed, THidCaps& caps) override;
    bool GetFeature(THidHandle handle, uint8_t* buffer, int32_t length) override;
    bool SetFeature(THidHandle handle, const uint8_t* buffer, int32_t length) override;
    bool SetNumInputBuffers(THidHandle handle, uint32_t count) override;
    bool GetNumInputBuffers(THidHandle handle, uint32_t& count) override;
    void SetChangeCallback(std::function<void()> callback) override;
    std::string NotificationError() const override { return notificationError; }
    THidHandle OpenInput(const std::string& path, std::vector<uint8_t>& descriptor) override;
    void CloseInput(THidHandle input) override;
    int InputFd(THidHandle input) const override;
    int32_t ReadInput(THidHandle input, uint8_t* buffer, int32_t size) override;

private:
    struct TPlug {
        uint64_t id;
        std::string instanceKey;
        std::string path;
        std::shared_ptr<TEmulatedHid> device;
    };
    // An input reader's end of a packet socket pair; the device sends through the other end,
    // which is closed when the device leaves the bus, so the reader sees it gone.
    struct TInput {
        uint64_t plugId;
        int senderFd;
    };
    struct TOpenFile {
        uint64_t plugId;
        bool readWrite;
        uint32_t inputBuffers;
    };

    const TPlug* FindPlug(const TEmulatedHid& device) const;
    const TPlug* FindPlug(uint64_t plugId) const;
    // The device behind an open handle, or none when the handle is unknown or its plug gone.
    // Shared, so a device that drops off the bus during a transfer outlives the call.
    std::shared_ptr<TEmulatedHid> DeviceOf(THidHandle handle, bool needReadWrite) const;
    std::string FreePath() const;
    void PostNotification();
    void WireBusDrop(const std::shared_ptr<TEmulatedHid>& device);
    void WireInput(const std::shared_ptr<TEmulatedHid>& device);
    void DeliverInput(const TEmulatedHid& device, const std::vector<uint8_t>& report);
    void HangUpInputs(uint64_t plugId);

    IEventPoster& poster_;
    std::function<void()> changeCallback_;
    uint64_t listenerGeneration_ = 0;
    std::shared_ptr<bool> alive_;
    std::vector<TPlug> plugs_;                       // in plug order, so ids ascend
    std::map<std::string, uint64_t> plugIdOfPath_;   // opens find their plug without a walk
    std::map<THidHandle, TOpenFile> handles_;
    std::map<THidHandle, TInput> inputs_;
    int inputReads_ = 0;
    uint64_t nextPlugId_ = 1;
    uint32_t nextSequence_ = 1;
    THidHandle nextHandle_ = 100;
    int enumerations_ = 0;
    int opens_ = 0;
    int preparsedFetches_ = 0;
    int featureCalls_ = 0;
};

} // namespace qzr::sim
