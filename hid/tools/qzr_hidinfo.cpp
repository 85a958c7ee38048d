// qzr-hidinfo: what the rudder control panel sees of the HID devices on this machine.
//
//   qzr-hidinfo                     every hidraw node that udev lists
//   qzr-hidinfo NODE...             the given nodes only (e.g. /dev/hidraw3)
//   qzr-hidinfo --descriptor FILE   the report lengths of a descriptor (binary, or hex text)

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "hid/HidReportDescriptor.h"
#include "hid/linux/HidrawDevice.h"
#include "hid/linux/HidrawPlatform.h"

namespace {

constexpr uint16_t PedalsVendorID = 0x16C0;
constexpr uint16_t PedalsProductID = 0x0612;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char* const Usage =
    "usage: qzr-hidinfo [NODE...]\n"
    "       qzr-hidinfo --descriptor FILE\n"
    "Lists the HID interfaces (hidraw nodes) with their ids, access and feature report\n"
    "length, marking the rudder pedals (16c0:0612). With --descriptor, prints the report\n"
    "lengths of a report descriptor given as a binary file or as hex text.\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "qzr-hidinfo: %s\n", message.c_str());
    return ExitFailure;
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "qzr-hidinfo: %s\n%s", message.c_str(), Usage);
    return ExitUsage;
}

// Far more than any report descriptor (the kernel takes at most 4096 bytes), even as hex text.
constexpr size_t MaxDescriptorFileSize = 1 << 20;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.clear();
    uint8_t chunk[4096];
    ssize_t got;
    while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + size_t(got) > MaxDescriptorFileSize) {
            const char* why = got < 0 ? std::strerror(errno) : "too large for a report descriptor";
            error = "cannot read " + path + ": " + why;
            ::close(fd);
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    return true;
}

bool IsHexTextByte(uint8_t byte)
{
    return std::isxdigit(byte) || std::isspace(byte) || byte == ',' || byte == 'x' || byte == 'X';
}

// A binary descriptor always holds bytes outside this set (a Collection item is 0xA1).
bool LooksLikeHexText(const std::vector<uint8_t>& bytes)
{
    for (uint8_t byte : bytes) {
        if (!IsHexTextByte(byte))
            return false;
    }
    return true;
}

// Tokens separated by blanks or commas, each "0x"-prefixed or not, each an even number of digits.
bool DecodeHexText(const std::vector<uint8_t>& text, std::vector<uint8_t>& bytes,
                   std::string& error)
{
    bytes.clear();
    std::string token;
    auto flush = [&]() {
        if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
            token.erase(0, 2);
        if (token.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
            token.size() % 2 != 0) {
            error = "bad hex byte group \"" + token + "\"";
            return false;
        }
        for (size_t i = 0; i < token.size(); i += 2)
            bytes.push_back(static_cast<uint8_t>(std::stoul(token.substr(i, 2), nullptr, 16)));
        token.clear();
        return true;
    };
    for (uint8_t c : text) {
        if (std::isspace(c) || c == ',') {
            if (!token.empty() && !flush())
                return false;
        } else {
            token += static_cast<char>(c);
        }
    }
    return token.empty() || flush();
}

int ShowDescriptorLengths(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error))
        return Fail(error);
    if (!bytes.empty() && LooksLikeHexText(bytes)) {
        std::vector<uint8_t> decoded;
        if (!DecodeHexText(bytes, decoded, error))
            return Fail(path + ": " + error);
        bytes.swap(decoded);
    }
    const qzr::THidDescriptorResult result = qzr::ParseReportDescriptor(bytes);
    if (!result.ok)
        return Fail(path + ": malformed report descriptor: " + result.error);
    std::printf("input=%u output=%u feature=%u\n", unsigned(result.lengths.input),
                unsigned(result.lengths.output), unsigned(result.lengths.feature));
    return 0;
}

std::string FeatureLengthOf(qzr::THidrawPlatform& platform, qzr::THidHandle handle)
{
    std::vector<uint8_t> descriptor;
    errno = 0;
    if (!platform.GetPreparsedData(handle, descriptor))
        return std::string("? (report descriptor unreadable") + (errno != 0 ? ": " : "") +
               (errno != 0 ? std::strerror(errno) : "") + ")";
    const qzr::THidDescriptorResult parsed =
        qzr::ParseReportDescriptor(descriptor, qzr::hidraw::EndOfReadDescriptor(descriptor));
    if (!parsed.ok)
        return "? (malformed report descriptor: " + parsed.error + ")";
    return std::to_string(parsed.lengths.feature);
}

void ShowInterface(qzr::THidrawPlatform& platform, const qzr::THidInterface& interface)
{
    std::printf("%s  %s", interface.instanceKey.c_str(), interface.devicePath.c_str());
    const char* access = "read-write";
    qzr::THidHandle handle = platform.Open(interface.devicePath, true);
    if (handle == qzr::InvalidHidHandle) {
        access = "query-only";
        handle = platform.Open(interface.devicePath, false);
    }
    if (handle == qzr::InvalidHidHandle) {
        std::printf("  cannot be opened: %s\n", std::strerror(errno));
        return;
    }
    qzr::THidAttributes attributes;
    if (!platform.GetAttributes(handle, attributes)) {
        std::printf("  %s  cannot be identified: %s\n", access, std::strerror(errno));
        platform.Close(handle);
        return;
    }
    const bool pedals =
        attributes.VendorID == PedalsVendorID && attributes.ProductID == PedalsProductID;
    std::printf("  %04x:%04x  version=0x%04x  %s  feature=%s%s\n", unsigned(attributes.VendorID),
                unsigned(attributes.ProductID), unsigned(attributes.VersionNumber), access,
                FeatureLengthOf(platform, handle).c_str(), pedals ? "  <- rudder pedals" : "");
    platform.Close(handle);
}

int ListInterfaces(const std::vector<std::string>& nodes)
{
    qzr::THidrawPlatform platform;
    std::vector<qzr::THidInterface> interfaces;
    for (const std::string& node : nodes)
        interfaces.push_back({"-", node});
    if (nodes.empty()) {
        if (!platform.ServicesPresent())
            return Fail("udev is not available; name the hidraw nodes to probe");
        if (!platform.EnumerateInterfaces(interfaces))
            return Fail("cannot list the hidraw devices through udev");
        if (interfaces.empty())
            std::printf("no HID interfaces (no hidraw nodes: is the hidraw driver loaded?)\n");
    }
    for (const qzr::THidInterface& interface : interfaces)
        ShowInterface(platform, interface);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "--descriptor") {
        if (args.size() != 2)
            return UsageError("--descriptor takes exactly one FILE");
        return ShowDescriptorLengths(args[1]);
    }
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '-')
            return UsageError("unknown option " + arg);
    }
    return ListInterfaces(args);
}
