#include "hid/sim/SimulatedPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "hid/HidReportDescriptor.h"

namespace qzr::sim {

namespace {
constexpr uint32_t DefaultInputBuffers = 32;
constexpr uint32_t MinInputBuffers = 2;
constexpr uint32_t MaxInputBuffers = 512;
} // namespace

TSimulatedPlatform::TSimulatedPlatform(IEventPoster& poster, bool servicesPresent)
    : servicesPresent(servicesPresent), poster_(poster), alive_(std::make_shared<bool>(true)) {}

TSimulatedPlatform::~TSimulatedPlatform() {
    *alive_ = false;
    for (TPlug& plug : plugs_) {
        plug.device->OnInputReport = nullptr;
        if (auto pedals = std::dynamic_pointer_cast<TEmulatedPedals>(plug.device))
            pedals->OnBusDrop = nullptr;
    }
    while (!inputs_.empty())
        CloseInput(inputs_.begin()->first);
}

std::string TSimulatedPlatform::FreePath() const {
    for (int minor = 0;; ++minor) {
        std::string path = "/sim/hidraw" + std::to_string(minor);
        if (!plugIdOfPath_.contains(path))
            return path;
    }
}

std::string TSimulatedPlatform::Plug(std::shared_ptr<TEmulatedHid> device) {
    if (!device || FindPlug(*device))
        return {};
    char key[32];
    // Named like a HID device in sysfs: bus, vendor, product and a sequence number that grows
    // with every plug, so a device plugged in again is a different interface.
    std::snprintf(key, sizeof key, "0003:%04X:%04X.%04X", device->VendorID(), device->ProductID(),
                  nextSequence_++);
    device->Attach();
    WireBusDrop(device);
    WireInput(device);
    plugs_.push_back({nextPlugId_++, key, FreePath(), std::move(device)});
    plugIdOfPath_[plugs_.back().path] = plugs_.back().id;
    PostNotification();
    return key;
}

std::shared_ptr<TEmulatedPedals> TSimulatedPlatform::PlugPedals(uint16_t serialNumber) {
    auto pedals = std::make_shared<TEmulatedPedals>(serialNumber);
    Plug(pedals);
    return pedals;
}

std::shared_ptr<TEmulatedHid> TSimulatedPlatform::PlugKeyboard() {
    auto keyboard = std::make_shared<TEmulatedHid>(MakeKeyboard());
    Plug(keyboard);
    return keyboard;
}

std::shared_ptr<TEmulatedHid> TSimulatedPlatform::PlugMouse() {
    auto mouse = std::make_shared<TEmulatedHid>(MakeMouse());
    Plug(mouse);
    return mouse;
}

bool TSimulatedPlatform::Unplug(const TEmulatedHid& device) {
    auto it = std::find_if(plugs_.begin(), plugs_.end(),
                           [&](const TPlug& p) { return p.device.get() == &device; });
    if (it == plugs_.end())
        return false;
    HangUpInputs(it->id);
    it->device->OnInputReport = nullptr;
    plugIdOfPath_.erase(it->path);
    plugs_.erase(it);
    PostNotification();
    return true;
}

void TSimulatedPlatform::NotifyUnrelatedChange() {
    PostNotification();
}

void TSimulatedPlatform::WireBusDrop(const std::shared_ptr<TEmulatedHid>& device) {
    auto pedals = std::dynamic_pointer_cast<TEmulatedPedals>(device);
    if (!pedals)
        return;
    std::weak_ptr<TEmulatedPedals> weak = pedals;
    std::shared_ptr<bool> alive = alive_;
    pedals->OnBusDrop = [this, weak, alive](TBusDrop why) {
        auto dropped = weak.lock();
        if (!dropped || !*alive)
            return;
        Unplug(*dropped);
        if (why != TBusDrop::Reboot)
            return;
        poster_.PostDelayed(rebootDelayMs, [this, dropped, alive] {
            if (*alive)
                Plug(dropped);
        });
    };
}

void TSimulatedPlatform::WireInput(const std::shared_ptr<TEmulatedHid>& device) {
    TEmulatedHid* sender = device.get();
    device->OnInputReport = [this, sender](const std::vector<uint8_t>& report) {
        DeliverInput(*sender, report);
    };
}

// Like the kernel's queue of a hidraw file: a report that finds the queue full is lost.
void TSimulatedPlatform::DeliverInput(const TEmulatedHid& device, const std::vector<uint8_t>& report) {
    const TPlug* plug = FindPlug(device);
    if (!plug)
        return;
    for (const auto& [handle, input] : inputs_) {
        if (input.plugId == plug->id && input.senderFd >= 0)
            (void)::send(input.senderFd, report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    }
}

void TSimulatedPlatform::HangUpInputs(uint64_t plugId) {
    for (auto& [handle, input] : inputs_) {
        if (input.plugId == plugId && input.senderFd >= 0) {
            ::close(input.senderFd);
            input.senderFd = -1;
        }
    }
}

THidHandle TSimulatedPlatform::OpenInput(const std::string& path, std::vector<uint8_t>& descriptor) {
    auto plug = std::find_if(plugs_.begin(), plugs_.end(), [&](const TPlug& p) { return p.path == path; });
    if (plug == plugs_.end() || !plug->device->OnBus() || plug->device->openRefusal == TOpenRefusal::All)
        return InvalidHidHandle;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0)
        return InvalidHidHandle;
    inputs_[ends[0]] = {plug->id, ends[1]};
    descriptor = plug->device->ReportDescriptor();
    return ends[0];
}

void TSimulatedPlatform::CloseInput(THidHandle input) {
    auto it = inputs_.find(input);
    if (it == inputs_.end())
        return;
    if (it->second.senderFd >= 0)
        ::close(it->second.senderFd);
    ::close(static_cast<int>(it->first));
    inputs_.erase(it);
}

int TSimulatedPlatform::InputFd(THidHandle input) const {
    return inputs_.count(input) ? static_cast<int>(input) : -1;
}

// A hung-up sender reads as the end of the stream; the device sends no empty reports.
int32_t TSimulatedPlatform::ReadInput(THidHandle input, uint8_t* buffer, int32_t size) {
    ++inputReads_;
    if (!inputs_.count(input) || buffer == nullptr || size <= 0)
        return -1;
    ssize_t got;
    do {
        got = ::recv(static_cast<int>(input), buffer, size_t(size), MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    return got == 0 ? -1 : static_cast<int32_t>(got);
}

int TSimulatedPlatform::InputSenderFd(const TEmulatedHid& device) const {
    const TPlug* plug = FindPlug(device);
    for (const auto& [handle, input] : inputs_) {
        if (plug && input.plugId == plug->id && input.senderFd >= 0)
            return input.senderFd;
    }
    return -1;
}

void TSimulatedPlatform::PostNotification() {
    // Like a window message: it reaches only a listener that exists when the change happens.
    if (!changeCallback_ || !notificationError.empty())
        return;
    // and only that listener: one that replaced it meanwhile never sees it.
    std::shared_ptr<bool> alive = alive_;
    uint64_t listener = listenerGeneration_;
    poster_.Post([this, alive, listener] {
        if (*alive && listener == listenerGeneration_ && changeCallback_)
            changeCallback_();
    });
}

void TSimulatedPlatform::SetChangeCallback(std::function<void()> callback) {
    changeCallback_ = std::move(callback);
    ++listenerGeneration_;
}

bool TSimulatedPlatform::IsPlugged(const TEmulatedHid& device) const {
    return FindPlug(device) != nullptr;
}

std::string TSimulatedPlatform::InstanceKeyOf(const TEmulatedHid& device) const {
    const TPlug* plug = FindPlug(device);
    return plug ? plug->instanceKey : std::string();
}

std::string TSimulatedPlatform::PathOf(const TEmulatedHid& device) const {
    const TPlug* plug = FindPlug(device);
    return plug ? plug->path : std::string();
}

int TSimulatedPlatform::OpenHandleCount(const TEmulatedHid& device) const {
    const TPlug* plug = FindPlug(device);
    if (!plug)
        return 0;
    return int(std::count_if(handles_.begin(), handles_.end(),
                             [&](const auto& h) { return h.second.plugId == plug->id; }));
}

const TSimulatedPlatform::TPlug* TSimulatedPlatform::FindPlug(const TEmulatedHid& device) const {
    auto it = std::find_if(plugs_.begin(), plugs_.end(),
                           [&](const TPlug& p) { return p.device.get() == &device; });
    return it == plugs_.end() ? nullptr : &*it;
}

const TSimulatedPlatform::TPlug* TSimulatedPlatform::FindPlug(uint64_t plugId) const {
    auto it = std::lower_bound(plugs_.begin(), plugs_.end(), plugId,
                               [](const TPlug& p, uint64_t id) { return p.id < id; });
    return it == plugs_.end() || it->id != plugId ? nullptr : &*it;
}

std::shared_ptr<TEmulatedHid> TSimulatedPlatform::DeviceOf(THidHandle handle, bool needReadWrite) const {
    auto file = handles_.find(handle);
    if (file == handles_.end() || (needReadWrite && !file->second.readWrite))
        return nullptr;
    const TPlug* plug = FindPlug(file->second.plugId);
    if (!plug || !plug->device->OnBus())
        return nullptr;
    return plug->device;
}

bool TSimulatedPlatform::EnumerateInterfaces(std::vector<THidInterface>& interfaces) {
    ++enumerations_;
    interfaces.clear();
    if (!servicesPresent || enumerationFails)
        return false;
    for (const TPlug& plug : plugs_)
        interfaces.push_back({plug.instanceKey, plug.path, true, plug.device->VendorID(),
                              plug.device->ProductID()});
    return true;
}

THidHandle TSimulatedPlatform::Open(const std::string& path, bool readWrite) {
    auto listed = plugIdOfPath_.find(path);
    const TPlug* plug = listed == plugIdOfPath_.end() ? nullptr : FindPlug(listed->second);
    if (!plug || !plug->device->OnBus()) {
        errno = plug ? ENODEV : ENOENT;
        return InvalidHidHandle;
    }
    TOpenRefusal refusal = plug->device->openRefusal;
    if (refusal == TOpenRefusal::All || (readWrite && refusal == TOpenRefusal::ReadWrite)) {
        errno = plug->device->refusalErrno;
        return InvalidHidHandle;
    }
    THidHandle handle = nextHandle_++;
    handles_[handle] = {plug->id, readWrite, DefaultInputBuffers};
    ++opens_;
    return handle;
}

void TSimulatedPlatform::Close(THidHandle handle) {
    handles_.erase(handle);
}

bool TSimulatedPlatform::GetAttributes(THidHandle handle, THidAttributes& attributes) {
    std::shared_ptr<TEmulatedHid> device = DeviceOf(handle, false);
    if (!device || device->identifyFails) {
        errno = EIO;
        return false;
    }
    attributes.VendorID = device->VendorID();
    attributes.ProductID = device->ProductID();
    attributes.VersionNumber = device->VersionNumber();
    return true;
}

bool TSimulatedPlatform::GetPreparsedData(THidHandle handle, std::vector<uint8_t>& preparsed) {
    ++preparsedFetches_;
    std::shared_ptr<TEmulatedHid> device = DeviceOf(handle, false);
    if (!device)
        return false;
    preparsed = device->ReportDescriptor();
    return true;
}

bool TSimulatedPlatform::GetCaps(const std::vector<uint8_t>& preparsed, THidCaps& caps) {
    return CapsFromReportDescriptor(preparsed, caps);
}

// Query-only handles cannot move reports; a transfer that moves less than asked fails.
bool TSimulatedPlatform::GetFeature(THidHandle handle, uint8_t* buffer, int32_t length) {
    ++featureCalls_;
    std::shared_ptr<TEmulatedHid> device = DeviceOf(handle, true);
    if (!device || buffer == nullptr || length <= 0)
        return false;
    return device->GetFeature(buffer, length) == length;
}

bool TSimulatedPlatform::SetFeature(THidHandle handle, const uint8_t* buffer, int32_t length) {
    ++featureCalls_;
    std::shared_ptr<TEmulatedHid> device = DeviceOf(handle, true);
    if (!device || buffer == nullptr || length <= 0)
        return false;
    return device->SetFeature(buffer, length) == length;
}

bool TSimulatedPlatform::SetNumInputBuffers(THidHandle handle, uint32_t count) {
    auto file = handles_.find(handle);
    if (file == handles_.end() || count < MinInputBuffers || count > MaxInputBuffers)
        return false;
    file->second.inputBuffers = count;
    return true;
}

bool TSimulatedPlatform::GetNumInputBuffers(THidHandle handle, uint32_t& count) {
    auto file = handles_.find(handle);
    if (file == handles_.end())
        return false;
    count = file->second.inputBuffers;
    return true;
}

} // namespace qzr::sim
