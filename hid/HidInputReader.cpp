#include "hid/HidInputReader.h"

#include <vector>

namespace qzr {

bool THidInputReader::Open(const std::string& devicePath)
{
    Close();
    std::vector<uint8_t> descriptor;
    handle_ = platform_.OpenInput(devicePath, descriptor);
    if (handle_ == InvalidHidHandle)
        return false;
    const THidDescriptorResult parsed = ParseReportDescriptor(descriptor);
    if (!parsed.ok) {
        Close();
        return false;
    }
    axes_.Reset(parsed);
    return true;
}

void THidInputReader::Close()
{
    if (handle_ != InvalidHidHandle) {
        platform_.CloseInput(handle_);
        handle_ = InvalidHidHandle;
    }
}

int THidInputReader::Fd() const
{
    return handle_ != InvalidHidHandle ? platform_.InputFd(handle_) : -1;
}

THidInputReader::TDrainResult THidInputReader::Drain()
{
    TDrainResult result;
    while (handle_ != InvalidHidHandle && result.reports < MaxReportsPerDrain) {
        const int32_t length =
            platform_.ReadInput(handle_, buffer_.data(), static_cast<int32_t>(buffer_.size()));
        if (length == 0)
            break;
        if (length < 0) {
            Close();
            result.gone = true;
            break;
        }
        ++result.reports;
        if (axes_.Feed(buffer_.data(), size_t(length)))
            result.changed = true;
    }
    return result;
}

} // namespace qzr
