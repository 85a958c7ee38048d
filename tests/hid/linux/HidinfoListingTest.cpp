// qzr-hidinfo probing named nodes: one line per node with what the program would see of it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "hid/sim/EmulatedPedals.h"
#include "hid/tools/HidinfoListing.h"
#include "link/ConnectionHints.h"
#include "tests/hid/linux/HidrawFuseFixture.h"

namespace {

struct TRun {
    int status = -1;
    std::string output;
};

TRun RunHidinfo(const std::string& arguments)
{
    TRun run;
    const std::string command = std::string(QZR_HIDINFO) + " " + arguments;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char chunk[512];
    while (size_t got = std::fread(chunk, 1, sizeof chunk, pipe))
        run.output.append(chunk, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(HidinfoListingTest, DescribesEachNamedNode)
{
    qzr::sim::TEmulatedPedals pedals;
    qzr::sim::TEmulatedHid keyboard = qzr::sim::MakeKeyboard();
    qzr::sim::TEmulatedPedals closed;
    closed.openRefusal = qzr::sim::TOpenRefusal::All;
    std::unique_ptr<qzr::test::THidrawFuseFixture> fixture;
    ASSERT_NO_THROW(fixture = std::make_unique<qzr::test::THidrawFuseFixture>());
    const std::string pedalsPath = fixture->AddNode(pedals);
    const std::string keyboardPath = fixture->AddNode(keyboard);
    const std::string closedPath = fixture->AddNode(closed);

    const TRun run = RunHidinfo(pedalsPath + " " + keyboardPath + " " + closedPath);
    EXPECT_EQ(run.status, 0);
    const std::string expectedLines[] = {
        pedalsPath + "  16c0:0612  version=0x0000  read-write  feature=17  <- rudder pedals\n",
        keyboardPath + "  046d:c31c  version=0x0000  query-only  feature=0\n",
        closedPath + "  cannot be opened: Permission denied\n",
    };
    for (const std::string& line : expectedLines)
        EXPECT_NE(run.output.find(line), std::string::npos) << "missing: " << line << run.output;
}

TEST(HidinfoListingTest, ExitStatusOfNamedNodes)
{
    qzr::sim::TEmulatedPedals pedals;
    qzr::sim::TEmulatedHid keyboard = qzr::sim::MakeKeyboard();
    std::unique_ptr<qzr::test::THidrawFuseFixture> fixture;
    ASSERT_NO_THROW(fixture = std::make_unique<qzr::test::THidrawFuseFixture>());
    const std::string pedalsPath = fixture->AddNode(pedals);
    const std::string keyboardPath = fixture->AddNode(keyboard);
    EXPECT_EQ(RunHidinfo(pedalsPath + " " + keyboardPath).status, 0);
    EXPECT_EQ(RunHidinfo(keyboardPath + " 2>/dev/null").status, 1);
}

// The listing as udev gives it (ids known without opening), in each situation: the lines, the
// advice on the error stream, and the exit status.
TEST(HidinfoListingTest, SituationsFromTheListing)
{
    const std::string rule = std::string("echo '") + qzr::PedalsUdevRule + "' | sudo tee";
    struct Case {
        const char* name;
        bool keyboard, pedals;
        qzr::sim::TOpenRefusal refusal;
        int refusalErrno;
        bool listingFails;
        const char* notificationError;
        int status;
        std::vector<std::string> lines;   // "{K}" and "{P}" stand for the keyboard's and pedals' paths
        std::vector<std::string> errors;  // parts of the error stream, in order; none: empty
    };
    using qzr::sim::TOpenRefusal;
    const Case cases[] = {
        {"pedals usable", true, true, TOpenRefusal::None, 0, false, "", 0,
         {"0003:046D:C31C.0001  {K}  046d:c31c  version=0x0000  query-only  feature=0\n",
          "0003:16C0:0612.0002  {P}  16c0:0612  version=0x0000  read-write  feature=17  <- rudder pedals\n"},
         {}},
        {"pedals denied", true, true, TOpenRefusal::All, EACCES, false, "", 2,
         {"0003:16C0:0612.0002  {P}  16c0:0612  cannot be opened: Permission denied  <- rudder pedals\n"},
         {"qzr-hidinfo: the rudder pedals ({P}) cannot be used: Permission denied\n",
          "Педали подключены, но у вас нет прав на работу с ними ({P}).", rule}},
        {"pedals busy", true, true, TOpenRefusal::All, EBUSY, false, "", 2,
         {"0003:16C0:0612.0002  {P}  16c0:0612  cannot be opened: Device or resource busy  <- rudder pedals\n"},
         {"qzr-hidinfo: the rudder pedals ({P}) cannot be used: Device or resource busy\n",
          "Педали подключены, но заняты другой программой ({P})."}},
        {"no pedals", true, false, TOpenRefusal::None, 0, false, "", 1,
         {"0003:046D:C31C.0001  {K}  046d:c31c"},
         {"qzr-hidinfo: no rudder pedals (16c0:0612) among the HID interfaces\n",
          "Педали не найдены. Подключите их к USB-порту компьютера.\n"}},
        {"no hidraw node", false, false, TOpenRefusal::None, 0, false, "", 1,
         {"no HID interfaces (no hidraw nodes: is the hidraw driver loaded?)\n"},
         {"qzr-hidinfo: no rudder pedals (16c0:0612) among the HID interfaces\n",
          "В системе нет ни одного HID-устройства", "sudo modprobe hidraw\n"}},
        {"listing fails", true, true, TOpenRefusal::None, 0, true, "", 3,
         {},
         {"qzr-hidinfo: cannot list the hidraw devices through udev\n"}},
        {"monitor down", true, true, TOpenRefusal::None, 0, false, "cannot open the udev netlink socket", 0,
         {"<- rudder pedals\n"},
         {"qzr-hidinfo: the udev monitor cannot be started (cannot open the udev netlink socket): "
          "the control panel will not notice the pedals being plugged in or out\n",
          "Программа не замечает подключения и отключения педалей"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qzr::sim::TEmulatedHid keyboard = qzr::sim::MakeKeyboard();
        qzr::sim::TEmulatedPedals pedals;
        pedals.openRefusal = c.refusal;
        pedals.refusalErrno = c.refusalErrno;
        std::unique_ptr<qzr::test::THidrawFuseFixture> fixture;
        ASSERT_NO_THROW(fixture = std::make_unique<qzr::test::THidrawFuseFixture>());
        qzr::test::TFixtureListedPlatform platform;
        platform.listingFails = c.listingFails;
        platform.notificationError = c.notificationError;
        std::map<std::string, std::string> paths;
        if (c.keyboard) {
            paths["{K}"] = fixture->AddNode(keyboard);
            platform.listed.push_back({"0003:046D:C31C.0001", paths["{K}"], true, 0x046D, 0xC31C});
        }
        if (c.pedals) {
            paths["{P}"] = fixture->AddNode(pedals);
            platform.listed.push_back({"0003:16C0:0612.0002", paths["{P}"], true, 0x16C0, 0x0612});
        }
        auto withPaths = [&paths](std::string text) {
            for (const auto& [mark, path] : paths)
                for (size_t at; (at = text.find(mark)) != std::string::npos;)
                    text.replace(at, mark.size(), path);
            return text;
        };

        std::ostringstream out, err;
        const int status = qzr::hidinfo::ListInterfaces(platform, {}, false, out, err);
        EXPECT_EQ(status, c.status);
        for (const std::string& line : c.lines)
            EXPECT_NE(out.str().find(withPaths(line)), std::string::npos)
                << "missing: " << withPaths(line) << out.str();
        size_t from = 0;
        for (const std::string& part : c.errors) {
            const size_t at = err.str().find(withPaths(part), from);
            EXPECT_NE(at, std::string::npos) << "missing: " << withPaths(part) << "\n" << err.str();
            from = at == std::string::npos ? from : at;
        }
        if (c.errors.empty()) {
            EXPECT_EQ(err.str(), "");
        }
    }
}

} // namespace
