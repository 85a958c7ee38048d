#include "hid/tools/HidinfoListing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "hid/HidDiagnosis.h"
#include "hid/HidReportDescriptor.h"
#include "hid/linux/HidrawDevice.h"
#include "link/ConnectionHints.h"
#include "link/PedalIds.h"

namespace qzr::hidinfo {

namespace {

const char* const PedalsMark = "  <- rudder pedals";

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
    return text;
}

std::string IdsOf(const THidInterface& interface) {
    return "  " + Hex4(interface.vendorID) + ":" + Hex4(interface.productID);
}

std::string FeatureLengthOf(THidrawPlatform& platform, THidHandle handle) {
    std::vector<uint8_t> descriptor;
    errno = 0;
    if (!platform.GetPreparsedData(handle, descriptor))
        return std::string("? (report descriptor unreadable") + (errno != 0 ? ": " : "") +
               (errno != 0 ? std::strerror(errno) : "") + ")";
    const THidDescriptorResult parsed =
        ParseReportDescriptor(descriptor, hidraw::EndOfReadDescriptor(descriptor));
    if (!parsed.ok)
        return "? (malformed report descriptor: " + parsed.error + ")";
    return std::to_string(parsed.lengths.feature);
}

// Opens the node the way the control panel does, prints its line and notes the outcome.
THidNodeOutcome ShowInterface(THidrawPlatform& platform, const THidInterface& interface,
                              std::ostream& out) {
    THidNodeOutcome outcome{interface, 0};
    const bool pedals = IsDevice(interface, PedalsVendorID, PedalsProductID);
    out << interface.instanceKey << "  " << interface.devicePath;
    const char* access = "read-write";
    THidHandle handle = platform.Open(interface.devicePath, true);
    if (handle == InvalidHidHandle) {
        access = "query-only";
        handle = platform.Open(interface.devicePath, false);
    }
    if (handle == InvalidHidHandle) {
        outcome.error = errno;
        out << (interface.idsKnown ? IdsOf(interface) : "") << "  cannot be opened: "
            << std::strerror(outcome.error) << (pedals ? PedalsMark : "") << "\n";
        return outcome;
    }
    THidAttributes attributes;
    errno = 0;
    if (!platform.GetAttributes(handle, attributes)) {
        outcome.error = errno != 0 ? errno : EIO;
        out << (interface.idsKnown ? IdsOf(interface) : "") << "  " << access
            << "  cannot be identified: " << std::strerror(outcome.error)
            << (pedals ? PedalsMark : "") << "\n";
        platform.Close(handle);
        return outcome;
    }
    outcome.interface.idsKnown = true;
    outcome.interface.vendorID = attributes.VendorID;
    outcome.interface.productID = attributes.ProductID;
    char version[8];
    std::snprintf(version, sizeof version, "%04x", unsigned(attributes.VersionNumber));
    out << IdsOf(outcome.interface) << "  version=0x" << version << "  " << access
        << "  feature=" << FeatureLengthOf(platform, handle)
        << (IsDevice(outcome.interface, PedalsVendorID, PedalsProductID) ? PedalsMark : "")
        << "\n";
    platform.Close(handle);
    return outcome;
}

int StatusOf(TDeviceFinding finding) {
    switch (finding) {
    case TDeviceFinding::Usable: return ExitPedalsUsable;
    case TDeviceFinding::NoInterface:
    case TDeviceFinding::Absent: return ExitPedalsAbsent;
    case TDeviceFinding::Unopenable: return ExitPedalsUnusable;
    case TDeviceFinding::Unlisted: break;
    }
    return ExitFailure;
}

void TellWhy(const TDeviceDiagnosis& diagnosis, bool udevRuleInstalled, std::ostream& err) {
    if (diagnosis.finding == TDeviceFinding::Usable)
        return;
    if (diagnosis.finding == TDeviceFinding::Unopenable)
        err << "qzr-hidinfo: the rudder pedals (" << diagnosis.node
            << ") cannot be used: " << std::strerror(diagnosis.error) << "\n";
    else
        err << "qzr-hidinfo: no rudder pedals (16c0:0612) among the HID interfaces\n";
    err << ExplainPedalsAbsence(diagnosis, udevRuleInstalled) << "\n";
}

void NoteMonitor(const THidrawPlatform& platform, std::ostream& err) {
    const std::string why = platform.NotificationError();
    if (why.empty())
        return;
    err << "qzr-hidinfo: the udev monitor cannot be started (" << why
        << "): the control panel will not notice the pedals being plugged in or out\n"
        << NotificationDownNote() << "\n";
}

} // namespace

int ListInterfaces(THidrawPlatform& platform, const std::vector<std::string>& nodes,
                   bool udevRuleInstalled, std::ostream& out, std::ostream& err) {
    NoteMonitor(platform, err);
    std::vector<THidInterface> interfaces;
    for (const std::string& node : nodes)
        interfaces.push_back(platform.InterfaceOfNode(node));
    if (nodes.empty()) {
        if (!platform.ServicesPresent()) {
            err << "qzr-hidinfo: udev is not available; name the hidraw nodes to probe\n";
            return ExitFailure;
        }
        if (!platform.EnumerateInterfaces(interfaces)) {
            err << "qzr-hidinfo: cannot list the hidraw devices through udev\n";
            return ExitFailure;
        }
        if (interfaces.empty())
            out << "no HID interfaces (no hidraw nodes: is the hidraw driver loaded?)\n";
    }
    THidListing listing;
    listing.taken = true;
    for (const THidInterface& interface : interfaces)
        listing.nodes.push_back(ShowInterface(platform, interface, out));
    const TDeviceDiagnosis diagnosis = DiagnoseDevice(listing, PedalsVendorID, PedalsProductID);
    TellWhy(diagnosis, udevRuleInstalled, err);
    return StatusOf(diagnosis.finding);
}

} // namespace qzr::hidinfo
