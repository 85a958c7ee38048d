#include "hid/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using qzr::ParseReportDescriptor;

namespace {

std::vector<uint8_t> FromHex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct WindowsCapsRow {
    std::string name;
    int input = 0;
    int output = 0;
    int feature = 0;
    std::vector<uint8_t> descriptor;
};

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field);
    return fields;
}

std::vector<WindowsCapsRow> ReadWindowsCaps(std::ifstream& file)
{
    std::vector<WindowsCapsRow> rows;
    std::string line;
    std::getline(file, line);   // column titles
    while (std::getline(file, line)) {
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() != 9)
            continue;
        rows.push_back({fields[0], std::stoi(fields[5]), std::stoi(fields[6]), std::stoi(fields[7]),
                        FromHex(fields[8])});
    }
    return rows;
}

TEST(HidReportDescriptorTest, GivesWindowsLengthsForRealDevices)
{
    std::ifstream file(QZR_WINDOWS_CAPS_TSV);
    ASSERT_TRUE(file.is_open()) << "cannot open the Windows capability table "
                                << QZR_WINDOWS_CAPS_TSV
                                << " (it lives in shared/hid-descriptors beside the repository)";
    const std::vector<WindowsCapsRow> rows = ReadWindowsCaps(file);
    ASSERT_EQ(rows.size(), 25u) << "unexpected row count in " << QZR_WINDOWS_CAPS_TSV;

    int withFeatureReports = 0;
    for (const WindowsCapsRow& row : rows) {
        SCOPED_TRACE(row.name);
        const qzr::THidDescriptorResult result = ParseReportDescriptor(row.descriptor);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.lengths.input, row.input);
        EXPECT_EQ(result.lengths.output, row.output);
        EXPECT_EQ(result.lengths.feature, row.feature);
        withFeatureReports += row.feature != 0;
    }
    EXPECT_EQ(withFeatureReports, 3);
}

struct DescriptorCase {
    const char* name;
    const char* hex;
    int input;
    int output;
    int feature;
};

// Well-formed descriptors with the lengths HidP_GetCaps would report.
const DescriptorCase WellFormedCases[] = {
    // Pedals: three 16-bit axes in, a 16-byte vendor feature report without report ids.
    {"pedals without report ids",
     "05010904a101 09300931093215002700ff0000751095038102"
     "0600ff0901150026ff00750895 10b102 c0",
     7, 0, 17},
    // Bits of one report add up before rounding: 1 + 7 bits make one byte, not two.
    {"bits summed before rounding",
     "05010902a101 750195018102 750795018103 75089501 9102 c0", 2, 2, 0},
    {"odd bit count rounds up", "a101 750595018102 c0", 2, 0, 0},
    // The longest numbered report wins, each counted with its id byte.
    {"longest numbered report",
     "0600ff0901a101 850175089508b102 8502750895 20b102 850175089503 8102 c0", 4, 0, 33},
    // The same id in two collections is one report.
    {"same id across collections",
     "a101 8503 750895028102 c0 a101 8503 750895038102 c0", 6, 0, 0},
    // Items before the first Report ID form a report of their own.
    {"unnumbered items before numbered ones",
     "a101 750895058102 8507 750895028102 c0", 6, 0, 0},
    // Push saves size, count and id; Pop brings them back for the next item.
    {"push and pop restore size, count and id",
     "a101 8501 75089504 a4 8502 75109508 b102 b4 b102 c0", 0, 0, 17},
    {"nested push and pop",
     "a101 75089501 a4 95 02 a4 95 04 b4 b102 b4 b102 c0", 0, 0, 4},
    // Four levels, as deep as the kernel's parser goes.
    {"push four levels deep", "a101 75089501 a4a4a4a4 9503 b102 b4b4b4b4 b102 c0", 0, 0, 5},
    // Long items carry data that would read as Report Count 200 if taken as short items.
    {"long items skipped", "a101 75089501 fe02 10 95c8 fe00 20 b102 c0", 0, 0, 2},
    {"reserved item type ignored", "a101 75089502 0c 0d01 b102 c0", 0, 0, 3},
    // A four-byte Report Count; a report of 299 data bytes is 300 with its id byte.
    {"four-byte data and a 300-byte feature report", "a101 7508 972b010000 b102 c0", 0, 0, 300},
    {"local items and delimiters do not count",
     "a101 0901 a901 0902 a900 19012905 75089501 8102 c0", 2, 0, 0},
    {"zero-bit fields declare no report", "a101 75089500 b102 75009504 9102 c0", 0, 0, 0},
    {"collections without fields", "05010906a101 a100 c0 c0", 0, 0, 0},
    // The largest field size, field count and report length the kernel accepts.
    {"largest sizes accepted",
     "a101 760001 953f b102 7508 960030 8102 7510 96ff1f 9102 7508 9501 9102 c0",
     12289, 16384, 2017},
};

class WellFormedDescriptorTest : public testing::TestWithParam<DescriptorCase> {};

TEST_P(WellFormedDescriptorTest, GivesLengths)
{
    const DescriptorCase& c = GetParam();
    const qzr::THidDescriptorResult result = ParseReportDescriptor(FromHex(c.hex));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lengths.input, c.input);
    EXPECT_EQ(result.lengths.output, c.output);
    EXPECT_EQ(result.lengths.feature, c.feature);
}

std::string CaseName(const char* text)
{
    std::string name;
    for (const char* p = text; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, WellFormedDescriptorTest, testing::ValuesIn(WellFormedCases),
                         [](const auto& info) { return CaseName(info.param.name); });

struct MalformedCase {
    const char* name;
    const char* hex;
    const char* errorPart;   // what the error text must say
};

const MalformedCase MalformedCases[] = {
    {"empty", "", "empty"},
    {"truncated one-byte item", "a101 75", "truncated item at byte 2"},
    {"truncated four-byte item", "a101 97010000", "truncated item at byte 2"},
    {"truncated long item header", "a101 fe02", "truncated long item at byte 2"},
    {"truncated long item data", "a101 fe0510aabb c0", "truncated long item at byte 2"},
    {"pop without push", "a101 b4 c0", "Pop without Push at byte 2"},
    {"pop after balanced push and pop", "a101 a4 b4 b4 c0", "Pop without Push at byte 4"},
    {"push five levels deep", "a101 a4a4a4a4a4 b4b4b4b4b4 c0",
     "Push deeper than 4 levels at byte 6"},
    {"end collection without collection", "a101 c0 c0",
     "End Collection without Collection at byte 3"},
    {"collection not closed", "a101 a100 c0", "1 collection(s) not closed"},
    {"report id zero", "a101 8500 c0", "Report ID 0 outside 1..255 at byte 2"},
    {"report id above 255", "a101 860001 c0", "Report ID 256 outside 1..255"},
    {"report size above 256 bits", "a101 760101 c0", "Report Size 257 larger than 256 bits"},
    {"report count above 12288", "a101 960130 c0", "Report Count 12289 larger than 12288"},
    {"report count near 2^32", "a101 97ffffffff c0", "Report Count 4294967295"},
    {"one field too long", "a101 76000196ff2f b102 c0", "feature report 0 longer than 16384 bytes"},
    // Each field is allowed; together they pass the limit.
    {"fields add up too long", "a101 8509 7508 960020 8102 8102 c0",
     "input report 9 longer than 16384 bytes at byte 11"},
};

class MalformedDescriptorTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDescriptorTest, IsRefusedWithReason)
{
    const MalformedCase& c = GetParam();
    const qzr::THidDescriptorResult result = ParseReportDescriptor(FromHex(c.hex));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << "error: " << result.error;
    EXPECT_EQ(result.lengths.feature, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedDescriptorTest, testing::ValuesIn(MalformedCases),
                         [](const auto& info) { return CaseName(info.param.name); });

// Every input value of a real device lies inside the input report that Windows measured.
TEST(HidReportDescriptorTest, InputValuesOfRealDevicesFitTheirReports)
{
    std::ifstream file(QZR_WINDOWS_CAPS_TSV);
    ASSERT_TRUE(file.is_open()) << "cannot open " << QZR_WINDOWS_CAPS_TSV;
    int devicesWithValues = 0;
    for (const WindowsCapsRow& row : ReadWindowsCaps(file)) {
        SCOPED_TRACE(row.name);
        const qzr::THidDescriptorResult result = ParseReportDescriptor(row.descriptor);
        ASSERT_TRUE(result.ok) << result.error;
        for (const qzr::THidInputField& field : result.inputFields)
            EXPECT_LE(field.bitOffset + field.bitSize, uint32_t(row.input - 1) * 8);
        devicesWithValues += !result.inputFields.empty();
    }
    EXPECT_GT(devicesWithValues, 10);
}

// hidraw hands out at most 4095 bytes of a 4096-byte descriptor: what the lost tail held is
// taken as the end, and a fault before it is still one.
TEST(HidReportDescriptorTest, DescriptorThatMayBeCutIsTakenAsFarAsItGoes)
{
    struct CutCase {
        const char* name;
        const char* hex;
        int feature;   // -1: refused
    } cases[] = {
        {"end collection lost", "a101 75089510 b102", 17},
        {"main item cut after its prefix", "a101 75089510 b102 75089504 b1", 21},
        {"global item cut", "a101 75089510 b102 96", 17},
        {"long item cut", "a101 75089510 b102 fe0510aabb", 17},
        {"long item cut in its header", "a101 75089510 b102 fe", 17},
        {"fault before the end", "a101 b4 75089510 b102", -1},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = FromHex(c.hex);
        const qzr::THidDescriptorResult cut =
            ParseReportDescriptor(bytes, qzr::TDescriptorEnd::MayBeCut);
        EXPECT_EQ(cut.ok, c.feature >= 0) << cut.error;
        EXPECT_EQ(cut.lengths.feature, std::max(c.feature, 0));
        EXPECT_FALSE(ParseReportDescriptor(bytes).ok);
    }
}

TEST(HidReportDescriptorTest, NeverReadsPastTheEnd)
{
    // Every prefix of a valid descriptor is either accepted or refused, from a buffer of exactly
    // that size (the sanitizer catches a read beyond it).
    const std::vector<uint8_t> full =
        FromHex("a101 0600ff 0901 8501 fe0210aabb 7508 961000 b102 c0");
    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        std::vector<uint8_t> prefix(full.begin(), full.begin() + static_cast<long>(length));
        const qzr::THidDescriptorResult result = ParseReportDescriptor(prefix);
        EXPECT_EQ(result.ok, length == full.size()) << result.error;
        EXPECT_EQ(result.ok, result.error.empty());
    }
}

} // namespace
