// qzr-hidinfo probing named nodes: one line per node with what the program would see of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>

#include "hid/sim/EmulatedPedals.h"
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

} // namespace
