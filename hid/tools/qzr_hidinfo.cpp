// qzr-hidinfo: what the rudder control panel sees of the HID devices on this machine.
//
//   qzr-hidinfo                     every hidraw node that udev lists
//   qzr-hidinfo NODE...             the given nodes only (e.g. /dev/hidraw3)
//   qzr-hidinfo --descriptor FILE   the report lengths and input values of a descriptor
//                                   (binary, or hex text)
// The exit status tells whether the rudder pedals can be used (see Usage).

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/StandardOptions.h"
#include "hid/HidReportDescriptor.h"
#include "hid/linux/HidrawPlatform.h"
#include "hid/tools/HidinfoListing.h"
#include "link/ConnectionHints.h"

namespace {

using qzr::hidinfo::ExitFailure;
using qzr::hidinfo::ExitUsage;

const char* const Usage =
    "usage: qzr-hidinfo [NODE...]\n"
    "       qzr-hidinfo --descriptor FILE\n"
    "       qzr-hidinfo --help | --version\n"
    "Lists the HID interfaces (hidraw nodes) with their ids, access and feature report\n"
    "length, marking the rudder pedals (16c0:0612), and says on standard error why the\n"
    "pedals cannot be used and what to do. With --descriptor, prints the report lengths\n"
    "of a report descriptor given as a binary file or as hex text, then one line per\n"
    "value of its input reports (usage page, usage, report id, bit offset and size,\n"
    "logical range).\n"
    "Exit status:\n"
    "  0   the rudder pedals are there and can be opened (--descriptor, --help: success)\n"
    "  1   no rudder pedals: no hidraw node of theirs, or no hidraw node at all\n"
    "  2   the rudder pedals are there but their node cannot be opened or identified\n"
    "  3   nothing to tell: udev is missing, the listing failed, or (--descriptor) the\n"
    "      file cannot be read or is not a report descriptor\n"
    "  64  usage error\n";

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
    for (const qzr::THidInputField& field : result.inputFields)
        std::printf("input page=0x%04X usage=0x%04X id=%u offset=%u size=%u min=%lld max=%lld\n",
                    unsigned(field.usagePage), unsigned(field.usage), unsigned(field.reportId),
                    unsigned(field.bitOffset), unsigned(field.bitSize),
                    static_cast<long long>(field.logicalMin), static_cast<long long>(field.logicalMax));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const qzr::cli::TProgramInfo info{"qzr-hidinfo", Usage};
    if (const std::optional<int> status = qzr::cli::AnswerStandardOptions(argc, argv, info))
        return *status;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--descriptor") {
        if (args.size() != 2)
            return UsageError("--descriptor takes exactly one FILE");
        return ShowDescriptorLengths(args[1]);
    }
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '-')
            return UsageError("unknown option " + arg);
    }
    qzr::THidrawPlatform platform;
    return qzr::hidinfo::ListInterfaces(platform, args, qzr::PedalsUdevRuleInstalled(), std::cout,
                                        std::cerr);
}
