#pragma once
// Reads one device's input reports into its live axes, on a handle of its own: the device's
// feature file is never touched, so opening, querying and closing it go on as before. Nothing
// here waits or polls: the owner watches Fd() in its event loop and calls Drain when readable.
#include <array>
#include <cstdint>
#include <string>

#include "hid/HidPlatform.h"
#include "hid/LiveAxes.h"

namespace qzr {

class THidInputReader {
public:
    explicit THidInputReader(IHidPlatform& platform) : platform_(platform) {}
    ~THidInputReader() { Close(); }
    THidInputReader(const THidInputReader&) = delete;
    THidInputReader& operator=(const THidInputReader&) = delete;

    // Opens the device's input and takes its axes from its report descriptor. False, and
    // closed, when the platform cannot read input or the descriptor is malformed.
    bool Open(const std::string& devicePath);
    void Close();
    bool IsOpen() const { return handle_ != InvalidHidHandle; }
    // Readable when reports are pending or the device has gone; -1 while closed.
    int Fd() const;

    struct TDrainResult {
        int reports = 0;        // reports read, ignored ones included
        bool changed = false;   // a shown value changed
        bool gone = false;      // the device failed or vanished: the reader has closed
    };
    // Reads the pending reports, at most MaxReportsPerDrain, so a flood cannot starve the event
    // loop: what is left keeps the descriptor readable.
    TDrainResult Drain();
    static constexpr int MaxReportsPerDrain = 256;

    TLiveAxes& Axes() { return axes_; }
    const TLiveAxes& Axes() const { return axes_; }

private:
    IHidPlatform& platform_;
    THidHandle handle_ = InvalidHidHandle;
    TLiveAxes axes_;
    std::array<uint8_t, 4096> buffer_{};
};

} // namespace qzr
