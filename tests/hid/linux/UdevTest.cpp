// The udev side of the Linux platform: the listing of hidraw nodes and the monitor that
// announces their arrival and removal. There is no udevd here, so the monitor is fed messages
// in udevd's own wire format on the udev netlink group.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <linux/netlink.h>
#include <memory>
#include <poll.h>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "hid/linux/HidrawPlatform.h"

namespace {

std::vector<std::string> HidrawNodesInSysfs()
{
    std::vector<std::string> nodes;
    DIR* directory = ::opendir("/sys/class/hidraw");
    if (directory == nullptr)
        return nodes;
    while (dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] != '.')
            nodes.push_back(std::string("/dev/") + entry->d_name);
    }
    ::closedir(directory);
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

// "VVVV:PPPP" of the HID device above a node, from the HID_ID line of its uevent file.
std::string HidIdInSysfs(const std::string& node)
{
    const std::string name = node.substr(node.rfind('/') + 1);
    std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
    unsigned bus = 0, vendor = 0, product = 0;
    for (std::string line; std::getline(uevent, line);)
        if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &vendor, &product) == 3) {
            char text[16];
            std::snprintf(text, sizeof text, "%04X:%04X", vendor, product);
            return text;
        }
    return "";
}

std::string IdsText(const qzr::THidInterface& interface)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", unsigned(interface.vendorID),
                  unsigned(interface.productID));
    return text;
}

bool Readable(int fd)
{
    pollfd watch{fd, POLLIN, 0};
    return ::poll(&watch, 1, 0) == 1 && (watch.revents & POLLIN);
}

TEST(UdevTest, ListsTheHidrawNodesSysfsHas)
{
    qzr::THidrawPlatform platform;
    ASSERT_TRUE(platform.ServicesPresent());
    std::vector<qzr::THidInterface> interfaces = {{"stale", "/dev/stale"}};
    ASSERT_TRUE(platform.EnumerateInterfaces(interfaces));

    std::vector<std::string> paths;
    for (const qzr::THidInterface& interface : interfaces) {
        EXPECT_FALSE(interface.instanceKey.empty()) << interface.devicePath;
        EXPECT_TRUE(interface.idsKnown) << interface.devicePath;
        EXPECT_EQ(IdsText(interface), HidIdInSysfs(interface.devicePath)) << interface.devicePath;
        paths.push_back(interface.devicePath);
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, HidrawNodesInSysfs());
}

// Nodes named by path: only a hidraw device node gets udev's key and ids; nothing is opened.
TEST(UdevTest, NodeNamedByPathThatIsNoHidrawNode)
{
    qzr::THidrawPlatform platform;
    for (const char* path : {"/dev/null", "/nonexistent/hidraw0", "/tmp"}) {
        SCOPED_TRACE(path);
        const qzr::THidInterface interface = platform.InterfaceOfNode(path);
        EXPECT_EQ(interface.instanceKey, "-");
        EXPECT_EQ(interface.devicePath, path);
        EXPECT_FALSE(interface.idsKnown);
    }
}

// Every descriptor taken: udev itself is there, its monitor socket is not, and the platform
// says why plug and unplug will go unnoticed.
TEST(UdevTest, MonitorThatCannotStartIsReported)
{
    // Built once with descriptors to spare, so that a sanitizer's first look at the type does
    // not meet the limit below.
    { qzr::THidrawPlatform warmUp; }
    const int lowestFree = ::dup(0);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    auto platform = std::make_unique<qzr::THidrawPlatform>();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    ASSERT_TRUE(platform->ServicesPresent());
    EXPECT_EQ(platform->NotificationFd(), -1);
    EXPECT_EQ(platform->NotificationError(), "cannot open the udev netlink socket");
    EXPECT_EQ(platform->NotificationError(), platform->MonitorError());
}

// udevd's message: a "libudev" header with the subsystem hash that the receivers' socket
// filters test, then the properties as NUL-terminated strings.
class TUdevEventSender {
public:
    TUdevEventSender()
        : socket_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT)) {}
    ~TUdevEventSender()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    bool IsOpen() const { return socket_ >= 0; }

    bool Send(const std::string& action, const std::string& subsystem, unsigned sequence)
    {
        const std::string name = "hidraw" + std::to_string(90 + sequence);
        const std::string properties = "ACTION=" + action + '\0' + "DEVPATH=/devices/virtual/qzr/" +
                                       name + '\0' + "SUBSYSTEM=" + subsystem + '\0' +
                                       "DEVNAME=/dev/" + name + '\0' + "SEQNUM=" +
                                       std::to_string(sequence) + '\0';
        Header header{};
        std::memcpy(header.prefix, "libudev", 8);
        header.magic = htonl(0xFEEDCAFE);
        header.headerSize = sizeof header;
        header.propertiesOffset = sizeof header;
        header.propertiesLength = static_cast<unsigned>(properties.size());
        header.subsystemHash = htonl(MurmurHash2(subsystem));

        iovec parts[2] = {{&header, sizeof header},
                          {const_cast<char*>(properties.data()), properties.size()}};
        sockaddr_nl destination{};
        destination.nl_family = AF_NETLINK;
        destination.nl_groups = UdevGroup;
        msghdr message{};
        message.msg_name = &destination;
        message.msg_namelen = sizeof destination;
        message.msg_iov = parts;
        message.msg_iovlen = 2;
        return ::sendmsg(socket_, &message, 0) >= 0;
    }

private:
    static constexpr unsigned UdevGroup = 2;

    struct Header {
        char prefix[8];
        unsigned magic;
        unsigned headerSize;
        unsigned propertiesOffset;
        unsigned propertiesLength;
        unsigned subsystemHash;
        unsigned devtypeHash;
        unsigned tagBloomHigh;
        unsigned tagBloomLow;
    };

    static uint32_t MurmurHash2(const std::string& text)
    {
        const uint32_t m = 0x5BD1E995;
        size_t length = text.size();
        const auto* data = reinterpret_cast<const unsigned char*>(text.data());
        uint32_t h = static_cast<uint32_t>(length);
        for (; length >= 4; data += 4, length -= 4) {
            uint32_t k;
            std::memcpy(&k, data, 4);
            k *= m;
            k ^= k >> 24;
            k *= m;
            h = (h * m) ^ k;
        }
        switch (length) {
        case 3: h ^= uint32_t(data[2]) << 16; [[fallthrough]];
        case 2: h ^= uint32_t(data[1]) << 8; [[fallthrough]];
        case 1: h ^= data[0]; h *= m;
        }
        h ^= h >> 13;
        h *= m;
        h ^= h >> 15;
        return h;
    }

    int socket_;
};

// Each test gets a network namespace of its own: udev netlink messages are multicast, and
// other test processes running at the same time must not hear these nor send their own here.
class UdevMonitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::unshare(CLONE_NEWNET), 0) << "cannot isolate the netlink traffic: "
                                              << std::strerror(errno);
        platform_ = std::make_unique<qzr::THidrawPlatform>();
        sender_ = std::make_unique<TUdevEventSender>();
        ASSERT_TRUE(platform_->ServicesPresent());
        ASSERT_GE(platform_->NotificationFd(), 0) << platform_->MonitorError();
        ASSERT_EQ(platform_->NotificationError(), "");
        platform_->SetChangeCallback([this] { ++announcements_; });
    }

    // The netlink message is queued by the time sendmsg returns.
    int AnnouncementsAfter(const std::vector<std::pair<std::string, std::string>>& events)
    {
        unsigned sequence = 1;
        for (const auto& [action, subsystem] : events)
            EXPECT_TRUE(sender_->Send(action, subsystem, sequence++)) << std::strerror(errno);
        announcements_ = 0;
        platform_->DispatchNotifications();
        return announcements_;
    }

    std::unique_ptr<qzr::THidrawPlatform> platform_;
    std::unique_ptr<TUdevEventSender> sender_;
    int announcements_ = 0;
};

TEST_F(UdevMonitorTest, StartsQuiet)
{
    EXPECT_FALSE(Readable(platform_->NotificationFd()));
    platform_->DispatchNotifications();
    EXPECT_EQ(announcements_, 0);
}

TEST_F(UdevMonitorTest, AnnouncesEachArrivalAndRemovalOnce)
{
    ASSERT_TRUE(sender_->IsOpen()) << std::strerror(errno);
    struct TCase {
        const char* name;
        std::vector<std::pair<std::string, std::string>> events;
        int announcements;
    } cases[] = {
        {"one arrival", {{"add", "hidraw"}}, 1},
        {"arrival and removal", {{"add", "hidraw"}, {"remove", "hidraw"}}, 2},
        {"a change of a present node", {{"change", "hidraw"}}, 0},
        {"another subsystem", {{"add", "input"}, {"remove", "usb"}}, 0},
        {"mixed", {{"bind", "hidraw"}, {"add", "hidraw"}, {"add", "input"}}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnnouncementsAfter(c.events), c.announcements);
        EXPECT_FALSE(Readable(platform_->NotificationFd())) << "events left undrained";
    }
}

} // namespace
