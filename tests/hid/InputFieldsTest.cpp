// The input report's value fields as the descriptor parser lists them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hid/HidReportDescriptor.h"
#include "hid/sim/EmulatedPedals.h"

namespace qzr {
namespace {

// page, usage, id, offset, size, min, max
struct TField {
    uint16_t page, usage;
    uint8_t id;
    uint32_t offset, size;
    int64_t min, max;
    bool operator==(const TField&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TField& f) {
    return out << "{page " << f.page << " usage " << f.usage << " id " << int(f.id) << " offset "
               << f.offset << " size " << f.size << " min " << f.min << " max " << f.max << "}";
}

std::vector<TField> FieldsOf(const std::vector<uint8_t>& descriptor) {
    const THidDescriptorResult parsed = ParseReportDescriptor(descriptor);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    std::vector<TField> fields;
    for (const THidInputField& f : parsed.inputFields) {
        EXPECT_EQ(f.isSigned, f.logicalMin < 0);
        fields.push_back({f.usagePage, f.usage, f.reportId, f.bitOffset, f.bitSize, f.logicalMin, f.logicalMax});
    }
    return fields;
}

struct TCase {
    const char* name;
    std::vector<uint8_t> descriptor;
    std::vector<TField> fields;
};

const std::vector<TCase> Cases = {
    {"usages in order, the last one repeated",
     {0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02},
     {{1, 0x30, 0, 0, 8, 0, 255}, {1, 0x31, 0, 8, 8, 0, 255}, {1, 0x31, 0, 16, 8, 0, 255}}},
    {"usage range, signed one-byte limits",
     {0x05, 0x01, 0x19, 0x30, 0x29, 0x32, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02},
     {{1, 0x30, 0, 0, 8, -127, 127}, {1, 0x31, 0, 8, 8, -127, 127}, {1, 0x32, 0, 16, 8, -127, 127}}},
    {"signed two-byte limits",
     {0x05, 0x01, 0x09, 0x30, 0x16, 0x00, 0x80, 0x26, 0xFF, 0x7F, 0x75, 0x10, 0x95, 0x01, 0x81, 0x02},
     {{1, 0x30, 0, 0, 16, -32768, 32767}}},
    {"an unsigned maximum keeps its high bit",
     {0x05, 0x01, 0x09, 0x30, 0x15, 0x00, 0x25, 0xFF, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
     {{1, 0x30, 0, 0, 8, 0, 255}}},
    {"padding and arrays take bits but list nothing",
     {0x75, 0x04, 0x95, 0x01, 0x81, 0x03,                                     // constant
      0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x25, 0x65, 0x75, 0x08, 0x95, 0x02, 0x81, 0x00,   // array
      0x05, 0x02, 0x09, 0xBA, 0x26, 0xFF, 0x0F, 0x75, 0x0C, 0x95, 0x01, 0x81, 0x02},
     {{2, 0xBA, 0, 20, 12, 0, 4095}}},
    {"report ids: offsets count per report, after the id byte",
     {0x05, 0x01, 0x85, 0x01, 0x09, 0x30, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02,
      0x85, 0x02, 0x09, 0x31, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02,
      0x85, 0x01, 0x09, 0x32, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
     {{1, 0x30, 1, 0, 8, 0, 127}, {1, 0x32, 1, 8, 8, 0, 127}, {1, 0x31, 2, 0, 8, 0, 127}}},
    {"push and pop restore page, size and limits",
     {0x05, 0x01, 0x15, 0x00, 0x25, 0x0F, 0x75, 0x04, 0x95, 0x01, 0xA4,
      0x05, 0x02, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x09, 0xC4, 0x81, 0x02, 0xB4,
      0x09, 0x30, 0x81, 0x02},
     {{2, 0xC4, 0, 0, 8, -127, 127}, {1, 0x30, 0, 8, 4, 0, 15}}},
    {"a four-byte usage carries its own page",
     {0x05, 0x01, 0x0B, 0xC5, 0x00, 0x02, 0x00, 0x09, 0x31, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02},
     {{2, 0xC5, 0, 0, 8, 0, 127}, {1, 0x31, 0, 8, 8, 0, 127}}},
    {"the page in force at the main item applies",
     {0x09, 0x33, 0x05, 0x01, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
     {{1, 0x33, 0, 0, 8, 0, 127}}},
    {"values split across bytes",
     {0x05, 0x01, 0x09, 0x33, 0x09, 0x34, 0x26, 0xFF, 0x03, 0x75, 0x0A, 0x95, 0x02, 0x81, 0x02},
     {{1, 0x33, 0, 0, 10, 0, 1023}, {1, 0x34, 0, 10, 10, 0, 1023}}},
    {"a collection ends the usages declared before it",
     {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0},
     {}},
    {"outputs and features are no input values",
     {0x05, 0x08, 0x09, 0x01, 0x75, 0x01, 0x95, 0x01, 0x91, 0x02, 0x09, 0x02, 0xB1, 0x02},
     {}},
};

TEST(InputFieldsTest, ListsTheVariableInputValues) {
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FieldsOf(c.descriptor), c.fields);
    }
}

TEST(InputFieldsTest, NamesReportIdsOnlyWhenTheDescriptorUsesThem) {
    EXPECT_FALSE(ParseReportDescriptor(Cases[0].descriptor).usesReportIds);
    EXPECT_TRUE(ParseReportDescriptor(Cases[5].descriptor).usesReportIds);
}

std::vector<uint8_t> ReadFile(const std::string& name) {
    std::ifstream file(std::string(QZR_HID_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file.is_open()) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(InputFieldsTest, TestDataDescriptors) {
    EXPECT_EQ(FieldsOf(ReadFile("pedals-descriptor.bin")),
              (std::vector<TField>{{1, 0x30, 0, 0, 16, 0, 0xFF00}, {1, 0x31, 0, 16, 16, 0, 0xFF00},
                                   {1, 0x32, 0, 32, 16, 0, 0xFF00}}));
}

TEST(InputFieldsTest, VirtualPedalsReportRudderAndBothBrakes) {
    EXPECT_EQ(FieldsOf(sim::TEmulatedPedals().ReportDescriptor()),
              (std::vector<TField>{{2, 0xBA, 0, 0, 12, 0, 4095}, {1, 0x33, 0, 12, 10, 0, 1023},
                                   {1, 0x34, 0, 22, 10, 0, 1023}}));
}

TEST(InputFieldsTest, AHugeCountListsABoundedNumberOfValues) {
    std::vector<uint8_t> descriptor = {0x05, 0x01, 0x09, 0x30, 0x75, 0x01};
    for (int i = 0; i < 4; ++i) {
        for (uint8_t byte : {0x96, 0x00, 0x04, 0x81, 0x02}) descriptor.push_back(byte);   // 1024 values
    }
    const THidDescriptorResult parsed = ParseReportDescriptor(descriptor);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.inputFields.size(), MaxInputFields);
    EXPECT_EQ(parsed.lengths.input, 4096 / 8 + 1);
}

} // namespace
} // namespace qzr
