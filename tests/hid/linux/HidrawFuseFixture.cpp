#include "tests/hid/linux/HidrawFuseFixture.h"

#define FUSE_USE_VERSION 35
#include <fuse.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <mutex>
#include <spawn.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "hid/sim/EmulatedPedals.h"

extern char** environ;

namespace qzr::test {

struct THidrawFuseFixture::TServer {
    mutable std::mutex mutex;
    std::vector<sim::TEmulatedHid*> nodes;   // node i is "/hidraw<i>"
    std::atomic<int> ioctls{0};
    std::atomic<bool> interruptNextSet{false};
    std::string mountPoint;
    fuse* session = nullptr;
    std::thread loop;

    sim::TEmulatedHid* NodeAt(uint64_t index) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return index < nodes.size() ? nodes[index] : nullptr;
    }

    // "/hidraw<i>" -> i; -1 for anything else.
    long IndexOf(const char* path) const
    {
        unsigned long index = 0;
        int consumed = 0;
        if (std::sscanf(path, "/hidraw%lu%n", &index, &consumed) != 1 || path[consumed] != '\0')
            return -1;
        std::lock_guard<std::mutex> lock(mutex);
        return index < nodes.size() ? static_cast<long>(index) : -1;
    }
};

namespace {

using TServer = THidrawFuseFixture::TServer;

TServer& Server()
{
    return *static_cast<TServer*>(fuse_get_context()->private_data);
}

int GetAttr(const char* path, struct stat* status, fuse_file_info*)
{
    std::memset(status, 0, sizeof *status);
    if (std::strcmp(path, "/") == 0) {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
    }
    if (Server().IndexOf(path) < 0)
        return -ENOENT;
    status->st_mode = S_IFREG | 0666;
    status->st_nlink = 1;
    return 0;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
    fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
    TServer& server = Server();
    std::lock_guard<std::mutex> lock(server.mutex);
    for (size_t i = 0; i < server.nodes.size(); ++i)
        fill(buffer, ("hidraw" + std::to_string(i)).c_str(), nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int Open(const char* path, fuse_file_info* file)
{
    TServer& server = Server();
    const long index = server.IndexOf(path);
    if (index < 0)
        return -ENOENT;
    sim::TEmulatedHid& device = *server.NodeAt(static_cast<uint64_t>(index));
    if (!device.OnBus())
        return -ENODEV;
    const bool writing = (file->flags & O_ACCMODE) != O_RDONLY;
    if (device.openRefusal == sim::TOpenRefusal::All ||
        (device.openRefusal == sim::TOpenRefusal::ReadWrite && writing))
        return -device.refusalErrno;
    file->fh = static_cast<uint64_t>(index);
    file->direct_io = 1;
    return 0;
}

int ReportDescriptorIoctl(const sim::TEmulatedHid& device, unsigned int command, void* data)
{
    const std::vector<uint8_t> descriptor = device.ReportDescriptor();
    if (descriptor.size() > HID_MAX_DESCRIPTOR_SIZE)
        return -EINVAL;
    if (command == HIDIOCGRDESCSIZE) {
        *static_cast<int*>(data) = static_cast<int>(descriptor.size());
        return 0;
    }
    // The size the caller asked for does not reach us (the request only reads), so the whole
    // descriptor goes back and its size with it.
    auto* raw = static_cast<hidraw_report_descriptor*>(data);
    raw->size = static_cast<uint32_t>(descriptor.size());
    std::memcpy(raw->value, descriptor.data(), descriptor.size());
    return 0;
}

int RawInfoIoctl(const sim::TEmulatedHid& device, void* data)
{
    if (device.identifyFails)
        return -EIO;
    auto* info = static_cast<hidraw_devinfo*>(data);
    info->bustype = BUS_USB;
    info->vendor = static_cast<__s16>(device.VendorID());
    info->product = static_cast<__s16>(device.ProductID());
    return 0;
}

bool IsFeatureRequest(unsigned int command, unsigned int number)
{
    return _IOC_TYPE(command) == 'H' && _IOC_NR(command) == number &&
           _IOC_DIR(command) == (_IOC_READ | _IOC_WRITE);
}

// Like hidraw over usbhid: a report shorter than the id byte and one byte more is refused
// (the kernel logs a warning for each); otherwise the bytes moved, report id byte included,
// and a stalled request is EPIPE.
int FeatureIoctl(TServer& server, sim::TEmulatedHid& device, unsigned int command, void* data)
{
    const auto length = static_cast<int32_t>(_IOC_SIZE(command));
    if (length < 2)
        return -EINVAL;
    auto* buffer = static_cast<uint8_t*>(data);
    const bool setting = _IOC_NR(command) == _IOC_NR(HIDIOCSFEATURE(0));
    const int32_t moved = setting ? device.SetFeature(buffer, length)
                                  : device.GetFeature(buffer, length);
    if (setting && server.interruptNextSet.exchange(false))
        return -EINTR;
    return moved < 0 ? -EPIPE : moved;
}

int Ioctl(const char*, unsigned int command, void*, fuse_file_info* file, unsigned int flags,
          void* data)
{
    TServer& server = Server();
    ++server.ioctls;
    sim::TEmulatedHid* device = server.NodeAt(file->fh);
    if (device == nullptr || (flags & FUSE_IOCTL_COMPAT))
        return -ENOSYS;
    if (!device->OnBus())
        return -ENODEV;
    if (command == HIDIOCGRDESCSIZE || command == HIDIOCGRDESC)
        return ReportDescriptorIoctl(*device, command, data);
    if (command == HIDIOCGRAWINFO)
        return RawInfoIoctl(*device, data);
    if (IsFeatureRequest(command, _IOC_NR(HIDIOCGFEATURE(0))) ||
        IsFeatureRequest(command, _IOC_NR(HIDIOCSFEATURE(0))))
        return FeatureIoctl(server, *device, command, data);
    return -ENOTTY;
}

fuse_operations Operations()
{
    fuse_operations operations{};
    operations.getattr = GetAttr;
    operations.readdir = ReadDir;
    operations.open = Open;
    operations.ioctl = Ioctl;
    return operations;
}

int RunFusermount(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

THidrawFuseFixture::THidrawFuseFixture()
    : server_(std::make_unique<TServer>())
{
    char directory[] = "/tmp/qzr-hidraw-XXXXXX";
    if (::mkdtemp(directory) == nullptr)
        throw std::runtime_error(std::string("cannot make a mount point: ") + std::strerror(errno));
    server_->mountPoint = directory;

    const char* argv[] = {"qzr-hidraw-fixture", "-o", "fsname=qzr-hidraw"};
    fuse_args args = FUSE_ARGS_INIT(3, const_cast<char**>(argv));
    const fuse_operations operations = Operations();
    server_->session = fuse_new(&args, &operations, sizeof operations, server_.get());
    fuse_opt_free_args(&args);
    if (server_->session == nullptr || fuse_mount(server_->session, directory) != 0) {
        if (server_->session != nullptr)
            fuse_destroy(server_->session);
        ::rmdir(directory);
        throw std::runtime_error("cannot mount a FUSE file system at " + server_->mountPoint +
                                 " (needs /dev/fuse, fuse3 and root)");
    }
    server_->loop = std::thread([session = server_->session] { fuse_loop(session); });
}

THidrawFuseFixture::~THidrawFuseFixture()
{
    const std::string& mountPoint = server_->mountPoint;
    // The loop ends when the unmount cuts its connection. A descriptor still open makes the
    // plain unmount fail: that is a leak in the code under test. A forced unmount then aborts
    // the connection, so the loop ends all the same and the test reports instead of hanging.
    if (RunFusermount({"fusermount3", "-u", mountPoint}) != 0) {
        ADD_FAILURE() << "fusermount3 -u " << mountPoint << " failed: a descriptor is still open";
        ::umount2(mountPoint.c_str(), MNT_FORCE);
        ::umount2(mountPoint.c_str(), MNT_DETACH);
    }
    server_->loop.join();
    fuse_unmount(server_->session);   // finds the connection gone; releases what the mount held
    fuse_destroy(server_->session);
    ::rmdir(mountPoint.c_str());
}

std::string THidrawFuseFixture::AddNode(sim::TEmulatedHid& device)
{
    std::lock_guard<std::mutex> lock(server_->mutex);
    server_->nodes.push_back(&device);
    return server_->mountPoint + "/hidraw" + std::to_string(server_->nodes.size() - 1);
}

int THidrawFuseFixture::IoctlCount() const
{
    return server_->ioctls;
}

void THidrawFuseFixture::InterruptNextFeatureSet()
{
    server_->interruptNextSet = true;
}

} // namespace qzr::test
