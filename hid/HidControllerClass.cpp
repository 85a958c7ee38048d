#include "hid/HidControllerClass.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace qzr {

namespace {

// Sets a flag for the length of a handler call, also when the handler throws.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

void NoteIds(THidInterface& interface, const THidAttributes& attributes) {
    interface.idsKnown = true;
    interface.vendorID = attributes.VendorID;
    interface.productID = attributes.ProductID;
}

// Whether `device`, offered at `index`, is still in the list: almost always still at its index.
bool IsListed(const std::vector<std::unique_ptr<THidDevice>>& devices, const THidDevice* device, size_t index) {
    if (index < devices.size() && devices[index].get() == device)
        return true;
    return std::any_of(devices.begin(), devices.end(),
                       [device](const auto& entry) { return entry.get() == device; });
}

// The instance keys of the entries that pass `counts`: one look-up per entry instead of a
// walk through the other list, so a comparison stays linear in the number of interfaces.
using TInstanceKeys = std::unordered_set<std::string_view>;

template <typename Counts>
TInstanceKeys KeysOf(const std::vector<std::unique_ptr<THidDevice>>& devices, Counts counts) {
    TInstanceKeys keys;
    keys.reserve(devices.size());
    for (const auto& device : devices)
        if (device && counts(*device))
            keys.insert(device->PnPInfo().DeviceInstance);
    return keys;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// THidDevice

THidDevice::THidDevice(THidDeviceController* controller, IHidPlatform& platform, THidPnPInfo info,
                       THidPlugEvent unplugHandler)
    : controller_(controller), platform_(platform), pnpInfo_(std::move(info)),
      unplugHandler_(std::move(unplugHandler)) {
    THidHandle handle = OpenPath();
    if (handle == InvalidHidHandle)
        throw EControllerError("Device cannot be opened", errno);
    attributes_ = THidAttributes{};
    attributes_.Size = 12;
    errno = 0;
    bool identified = platform_.GetAttributes(handle, attributes_);
    const int identifyError = errno != 0 ? errno : EIO;
    platform_.Close(handle);
    if (!identified)
        throw EControllerError("Device cannot be identified", identifyError);
}

THidDevice::~THidDevice() {
    CloseHandles();
}

THidHandle THidDevice::OpenPath() {
    THidHandle handle = platform_.Open(pnpInfo_.DevicePath, true);
    readWrite_ = handle != InvalidHidHandle;
    if (!readWrite_)
        handle = platform_.Open(pnpInfo_.DevicePath, false);
    return handle;
}

bool THidDevice::EnsureOpen() {
    if (IsAccessible() && handle_ == InvalidHidHandle) {
        handle_ = OpenPath();
        if (handle_ != InvalidHidHandle) {
            if (NumInputBuffers != 0)
                platform_.SetNumInputBuffers(handle_, static_cast<uint32_t>(NumInputBuffers));
            uint32_t count = 0;
            if (platform_.GetNumInputBuffers(handle_, count))
                NumInputBuffers = static_cast<int32_t>(count);
        }
    }
    return handle_ != InvalidHidHandle;
}

void THidDevice::QueryCaps(THidCaps& caps) {
    caps = THidCaps{};
    if (!preparsedFetched_ && EnsureOpen()) {
        preparsed_.clear();
        preparsedFetched_ = platform_.GetPreparsedData(handle_, preparsed_);
        if (!preparsedFetched_)
            preparsed_.clear();
        CloseHandles();
    }
    if (!platform_.GetCaps(preparsed_, caps))
        caps = THidCaps{};
}

bool THidDevice::GetFeatureReport(uint8_t* buffer, int32_t length) {
    if (buffer == nullptr || length <= 0 || !EnsureOpen())
        return false;
    return platform_.GetFeature(handle_, buffer, length);
}

bool THidDevice::SetFeatureReport(const uint8_t* buffer, int32_t length) {
    if (buffer == nullptr || length <= 0 || !EnsureOpen())
        return false;
    return platform_.SetFeature(handle_, buffer, length);
}

void THidDevice::CloseHandles() {
    if (handle_ != InvalidHidHandle) {
        platform_.Close(handle_);
        handle_ = InvalidHidHandle;
    }
    NumInputBuffers = 0;
}

void THidDevice::Unplug() {
    CloseHandles();
    pluggedIn_ = false;
    // Cleared before the call, so the handler runs once even if it unplugs again.
    THidPlugEvent handler = std::move(unplugHandler_);
    unplugHandler_ = nullptr;
    if (handler)
        handler(*this);
}

// ---------------------------------------------------------------------------------------------
// THidDeviceController

THidDeviceController::THidDeviceController(IHidPlatform& platform, IEventPoster& poster)
    : platform_(platform), poster_(poster), alive_(std::make_shared<bool>(true)) {
    if (!platform_.ServicesPresent())
        return;
    std::shared_ptr<bool> alive = alive_;
    platform_.SetChangeCallback([this, alive] {
        if (*alive)
            HandleDeviceChangeMessage(DevNodesChanged, 0);
    });
    poster_.Post([this, alive] {
        if (*alive)
            HandleDeviceChangeMessage(DevNodesChanged, -1);
    });
}

THidDeviceController::~THidDeviceController() {
    OnDeviceChange = nullptr;
    OnDeviceUnplug = nullptr;
    OnEnumerate = nullptr;
    destroying_ = true;
    *alive_ = false;
    if (platform_.ServicesPresent())
        platform_.SetChangeCallback(nullptr);
    for (auto& device : devices_) {
        device->controller_ = nullptr;
        if (device->checkedOut_)
            device->Unplug();
    }
    devices_.clear();
}

void THidDeviceController::HandleDeviceChangeMessage(uint32_t event, int32_t parameter) {
    if (destroying_ || event != DevNodesChanged || inChange_)
        return;
    lastParameter_ = parameter;
    // Cleared also when a handler throws: a stuck flag would drop every later notification.
    TFlagScope inChange(inChange_);
    DeviceChange();
}

// Also notes what opening each interface gave, so that a device that is not found can be
// explained without opening anything again.
std::vector<std::unique_ptr<THidDevice>> THidDeviceController::BuildPresentList() {
    std::vector<std::unique_ptr<THidDevice>> present;
    lastListing_ = THidListing{};
    if (!platform_.ServicesPresent())
        return present;
    std::vector<THidInterface> interfaces;
    if (!platform_.EnumerateInterfaces(interfaces))
        return present;
    lastListing_.taken = true;
    present.reserve(interfaces.size());
    for (const THidInterface& item : interfaces) {
        THidNodeOutcome& outcome = lastListing_.nodes.emplace_back(THidNodeOutcome{item, 0});
        try {
            present.push_back(std::make_unique<THidDevice>(
                this, platform_, THidPnPInfo(item.instanceKey, item.devicePath), OnDeviceUnplug));
            NoteIds(outcome.interface, present.back()->Attributes());
        } catch (const EControllerError& error) {
            // An interface that cannot be opened or identified yields no entry.
            outcome.error = error.SystemError() != 0 ? error.SystemError() : EIO;
        }
    }
    return present;
}

void THidDeviceController::DeviceChange() {
    bool changed = lastParameter_ == -1;
    std::vector<std::unique_ptr<THidDevice>> present = BuildPresentList();

    const TInstanceKeys presentKeys = KeysOf(present, [](const THidDevice&) { return true; });
    for (size_t i = devices_.size(); i-- > 0;) {
        THidDevice& old = *devices_[i];
        if (old.pluggedIn_ && presentKeys.contains(old.pnpInfo_.DeviceInstance))
            continue;
        old.Unplug();
        if (OnRemoval) {
            TFlagScope inHandler(old.inHandler_);
            OnRemoval(old);
        }
        if (!old.checkedOut_ && i < devices_.size() && devices_[i].get() == &old)
            devices_.erase(devices_.begin() + static_cast<std::ptrdiff_t>(i));
        changed = true;
    }

    const TInstanceKeys knownKeys = KeysOf(devices_, [](const THidDevice& old) { return old.pluggedIn_; });
    for (auto& entry : present) {
        if (knownKeys.contains(entry->pnpInfo_.DeviceInstance)) {
            entry->controller_ = nullptr;
            entry.reset();
        }
    }

    for (auto& entry : present) {
        if (!entry)
            continue;
        devices_.push_back(std::move(entry));
        changed = true;
        THidDevice& arrived = *devices_.back();
        if (OnArrival) {
            TFlagScope inHandler(arrived.inHandler_);
            OnArrival(arrived);
        }
    }

    Recount();
    if (changed && OnDeviceChange)
        OnDeviceChange(*this);
}

void THidDeviceController::Recount() {
    checkedIn_ = 0;
    checkedOut_ = 0;
    unplugged_ = 0;
    for (const auto& device : devices_) {
        if (device->checkedOut_)
            ++checkedOut_;
        else
            ++checkedIn_;
        if (!device->pluggedIn_)
            ++unplugged_;
    }
    checkedOut_ -= unplugged_;
}

int32_t THidDeviceController::OfferDevices() {
    const int32_t total = Count();
    int32_t offered = 0;
    // A handler that runs a nested event loop may let the list change under the walk, so each
    // step looks the entry up afresh.
    for (int32_t index = 0; index < total && index < Count(); ++index) {
        THidDevice* device = devices_[static_cast<size_t>(index)].get();
        if (!device->pluggedIn_)
            continue;
        ++offered;
        bool goOn = false;
        if (OnEnumerate) {
            device->inHandler_ = true;
            try {
                goOn = OnEnumerate(*device, index);
            } catch (...) {
                if (IsListed(devices_, device, static_cast<size_t>(index)))
                    device->inHandler_ = false;
                throw;
            }
            if (IsListed(devices_, device, static_cast<size_t>(index))) {
                device->inHandler_ = false;
                if (!device->checkedOut_)
                    device->CloseHandles();
            }
        }
        if (!goOn)
            break;
    }
    return offered;
}

bool THidDeviceController::CheckOutAt(int32_t Idx, THidDevice*& HidDev) {
    HidDev = nullptr;
    if (Idx < 0 || Idx >= Count())
        return false;
    THidDevice& device = *devices_[static_cast<size_t>(Idx)];
    if (device.checkedOut_)
        return false;
    device.checkedOut_ = true;
    ++checkedOut_;
    --checkedIn_;
    HidDev = &device;
    return true;
}

} // namespace qzr
