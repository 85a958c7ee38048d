#include "ui/LiveInput.h"

#include <QSocketNotifier>
#include <algorithm>

#include "hid/HidControllerClass.h"

namespace qzr {

TLiveInput::TLiveInput(IHidPlatform& platform, QObject* parent)
    : QObject(parent), reader_(platform) {
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { Refresh(); });
}

TLiveInput::~TLiveInput() {
    notifier_.reset();
}

void TLiveInput::Follow(THidDevice* device) {
    device_ = device != nullptr && device->IsPluggedIn() ? device : nullptr;
    Apply();
}

void TLiveInput::SetPaused(bool paused) {
    paused_ = paused;
    Apply();
}

// A device whose input failed is not opened again: the connection drops and finds it anew.
void TLiveInput::Apply() {
    THidDevice* wanted = paused_ ? nullptr : device_;
    if (wanted == readDevice_)
        return;
    Stop();
    readDevice_ = wanted;
    if (wanted != nullptr)
        Start(wanted->PnPInfo().DevicePath);
    emit refreshed();
}

void TLiveInput::Start(const std::string& path) {
    if (!reader_.Open(path) || reader_.Fd() < 0) {
        reader_.Close();
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(reader_.Fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Readable(); });
}

void TLiveInput::Stop() {
    notifier_.reset();
    reader_.Close();
    refreshTimer_.stop();
    changed_ = false;
}

// A device reporting a thousand times a second would wake the loop a thousand times: after a
// report the watch rests until the next refresh is due, and the reports gathered meanwhile in
// the input queue are read in one go then. The timer runs only after a report has come.
void TLiveInput::Readable() {
    if (!Drain()) return;
    notifier_->setEnabled(false);
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : MinRefreshIntervalMs;
    refreshTimer_.start(static_cast<int>(std::max<qint64>(0, MinRefreshIntervalMs - since)));
}

void TLiveInput::Refresh() {
    if (!Drain()) return;
    notifier_->setEnabled(true);
    if (!changed_) return;
    changed_ = false;
    sinceRefresh_.start();
    emit refreshed();
}

bool TLiveInput::Drain() {
    const THidInputReader::TDrainResult drained = reader_.Drain();
    changed_ = changed_ || drained.changed;
    if (!drained.gone) return true;
    notifier_.reset();
    refreshTimer_.stop();
    changed_ = false;
    emit refreshed();
    return false;
}

} // namespace qzr
