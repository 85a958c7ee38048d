// The report descriptor parser on arbitrary bytes: it ends, refuses with a reason or gives
// lengths, and the lengths agree with a plain recount of the report items. Both ends are
// tried: a whole descriptor, and one that hidraw may have cut.
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "hid/HidReportDescriptor.h"

namespace {

using qzr::TDescriptorEnd;

using qzr::fuzz::Check;

// Report lengths of a descriptor the parser accepted, counted item by item: bits per report
// kind and id, Push and Pop saving size, count and id, a cut item at the end counted by its
// prefix. Nothing is checked here; the parser has done that.
qzr::THidReportLengths Recount(const uint8_t* data, size_t size)
{
    struct Globals {
        uint64_t reportSize = 0, reportCount = 0, reportId = 0;
    } globals;
    std::vector<Globals> stack;
    std::map<std::pair<int, uint64_t>, uint64_t> bits;   // (kind, id) -> bits
    size_t pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos];
        if (prefix == 0xFE) {
            pos += pos + 1 < size ? 3 + size_t(data[pos + 1]) : size;
            continue;
        }
        const size_t length = (prefix & 3) == 3 ? 4 : (prefix & 3);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        uint64_t value = 0;
        for (size_t i = 0; i < length && pos + 1 + i < size; ++i)
            value |= uint64_t(data[pos + 1 + i]) << (8 * i);
        const bool cut = size - pos - 1 < length;
        pos += 1 + length;
        if (type == 0 && (tag == 0x8 || tag == 0x9 || tag == 0xB)) {
            const int kind = tag == 0x8 ? 0 : tag == 0x9 ? 1 : 2;
            bits[{kind, globals.reportId}] += globals.reportSize * globals.reportCount;
        } else if (type == 1 && !cut) {
            switch (tag) {
            case 0x7: globals.reportSize = value; break;
            case 0x8: globals.reportId = value; break;
            case 0x9: globals.reportCount = value; break;
            case 0xA: stack.push_back(globals); break;
            case 0xB: globals = stack.back(); stack.pop_back(); break;
            default: break;
            }
        }
    }
    uint64_t longest[3] = {0, 0, 0};
    for (const auto& [key, count] : bits) {
        const uint64_t bytes = count == 0 ? 0 : (count + 7) / 8 + 1;
        if (bytes > longest[key.first])
            longest[key.first] = bytes;
    }
    return {uint16_t(longest[0]), uint16_t(longest[1]), uint16_t(longest[2])};
}

void CheckParse(const uint8_t* data, size_t size, TDescriptorEnd end)
{
    const qzr::THidDescriptorResult result = qzr::ParseReportDescriptor(data, size, end);
    Check(result.ok == result.error.empty());
    if (!result.ok) {
        Check(result.lengths.input == 0 && result.lengths.output == 0 &&
              result.lengths.feature == 0);
        return;
    }
    const qzr::THidReportLengths recount = Recount(data, size);
    Check(result.lengths.input == recount.input);
    Check(result.lengths.output == recount.output);
    Check(result.lengths.feature == recount.feature);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckParse(data, size, TDescriptorEnd::Whole);
    CheckParse(data, size, TDescriptorEnd::MayBeCut);
    // What a whole descriptor gives, the same bytes taken as maybe cut give as well.
    const qzr::THidDescriptorResult whole = qzr::ParseReportDescriptor(data, size);
    const qzr::THidDescriptorResult cut =
        qzr::ParseReportDescriptor(data, size, TDescriptorEnd::MayBeCut);
    if (whole.ok)
        Check(cut.ok && cut.lengths.feature == whole.lengths.feature &&
              cut.lengths.input == whole.lengths.input);
    return 0;
}
