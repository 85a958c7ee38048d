#pragma once
// The pedals' input reports in the event loop: the input descriptor is watched, pending
// reports are read when it is readable, and the shown values are refreshed at most 60 times a
// second however fast the pedals report. With no report nothing wakes up: no thread, no
// polling, no timer left running.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "hid/HidInputReader.h"

class QSocketNotifier;

namespace qzr {

class THidDevice;

class TLiveInput : public QObject {
    Q_OBJECT
public:
    explicit TLiveInput(IHidPlatform& platform, QObject* parent = nullptr);
    ~TLiveInput() override;

    // Reads the device's input while there is one and reading is not paused; none stops it.
    void Follow(THidDevice* device);
    // Paused while the window that shows the values cannot be seen.
    void SetPaused(bool paused);
    bool IsReading() const { return reader_.IsOpen(); }
    const TLiveAxes& Axes() const { return reader_.Axes(); }

    // 30 refreshes a second at most: smooth to the eye, and half the painting of 60.
    static constexpr int MinRefreshIntervalMs = 33;

signals:
    // The axes or their values changed: at most once per MinRefreshIntervalMs for values, at
    // once when reading starts or stops.
    void refreshed();

private:
    void Apply();
    void Start(const std::string& path);
    void Stop();
    void Readable();
    void Refresh();
    // Reads what is pending; false when the device has gone and reading has stopped.
    bool Drain();

    THidInputReader reader_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer refreshTimer_;
    QElapsedTimer sinceRefresh_;
    THidDevice* device_ = nullptr;
    THidDevice* readDevice_ = nullptr;   // the device whose input is open (or was, until it failed)
    bool paused_ = false;
    bool changed_ = false;   // a value changed since the last refresh
};

} // namespace qzr
