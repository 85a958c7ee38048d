#include "cli/StandardOptions.h"

#include <cctype>
#include <gtest/gtest.h>
#include <vector>

#include "cli/Version.h"

namespace qzr::cli {
namespace {

const TProgramInfo Tool{"qzr-tool", "usage: qzr-tool [--help | --version]\n"};

struct TCase {
    const char* title;
    std::vector<const char*> args; // without the program name
    std::optional<std::string> answer;
};

std::string VersionLine()
{
    return std::string("qzr-tool ") + ProgramVersion + "\n";
}

class StandardOptionAnswerTest : public testing::TestWithParam<TCase> {};

TEST_P(StandardOptionAnswerTest, AnswersOnlyItsOwnOptions)
{
    std::vector<const char*> argv{"/usr/bin/qzr-tool"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    EXPECT_EQ(StandardOptionAnswer(int(argv.size()), argv.data(), Tool), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StandardOptionAnswerTest,
    testing::Values(
        TCase{"NoArguments", {}, std::nullopt},
        TCase{"Help", {"--help"}, std::string(Tool.usage)},
        TCase{"ShortHelp", {"-h"}, std::string(Tool.usage)},
        TCase{"Version", {"--version"}, VersionLine()},
        TCase{"HelpAfterQtOptions", {"-platform", "offscreen", "--help"}, std::string(Tool.usage)},
        TCase{"FirstOfBothWins", {"--version", "--help"}, VersionLine()},
        TCase{"QtOptionsAlone", {"-platform", "offscreen", "-style", "fusion"}, std::nullopt},
        TCase{"OwnArguments", {"/dev/hidraw3", "--descriptor"}, std::nullopt},
        TCase{"AfterDoubleDash", {"--", "--help"}, std::nullopt},
        TCase{"NearMisses", {"--versions", "-help", "--help=x", "-V"}, std::nullopt}),
    [](const testing::TestParamInfo<TCase>& info) { return std::string(info.param.title); });

TEST(ProgramVersionTest, IsDottedNumbers)
{
    const std::string version = ProgramVersion;
    EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
    EXPECT_NE(version.find('.'), std::string::npos) << version;
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(version.front())) &&
                std::isdigit(static_cast<unsigned char>(version.back())))
        << version;
}

} // namespace
} // namespace qzr::cli
