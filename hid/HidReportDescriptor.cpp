#include "hid/HidReportDescriptor.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace qzr {

namespace {

// The kernel's HID core refuses fields and reports beyond these, so a device that declares
// more never gets a hidraw node; anything larger here is a corrupt descriptor.
constexpr uint32_t MaxReportSizeBits = 256;
constexpr uint32_t MaxReportCount = 12288;
constexpr uint64_t MaxReportBytes = 16384;   // report id byte included
constexpr uint32_t MaxReportId = 255;
constexpr size_t MaxPushDepth = 4;           // the kernel's global item stack

constexpr uint8_t LongItemPrefix = 0xFE;

enum ItemType : uint8_t { MainItem = 0, GlobalItem = 1, LocalItem = 2 };

enum MainTag : uint8_t { InputTag = 0x8, OutputTag = 0x9, CollectionTag = 0xA, FeatureTag = 0xB,
                         EndCollectionTag = 0xC };

enum GlobalTag : uint8_t { UsagePageTag = 0x0, LogicalMinimumTag = 0x1, LogicalMaximumTag = 0x2,
                           ReportSizeTag = 0x7, ReportIdTag = 0x8, ReportCountTag = 0x9,
                           PushTag = 0xA, PopTag = 0xB };

enum LocalTag : uint8_t { UsageTag = 0x0, UsageMinimumTag = 0x1, UsageMaximumTag = 0x2 };

constexpr uint32_t ConstantFlag = 0x1;
constexpr uint32_t VariableFlag = 0x2;
constexpr uint32_t NullStateFlag = 0x40;

enum ReportKind { InputKind = 0, OutputKind = 1, FeatureKind = 2, KindCount = 3 };

const char* const KindNames[KindCount] = {"input", "output", "feature"};

// An item's data as it stands in the descriptor: the value and how many bytes carried it,
// which decides how a signed reading extends it.
struct ItemData {
    uint32_t value = 0;
    size_t size = 0;

    int64_t Signed() const
    {
        switch (size) {
        case 1: return int8_t(value);
        case 2: return int16_t(value);
        case 4: return int32_t(value);
        default: return 0;
        }
    }
};

struct GlobalState {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
    uint32_t usagePage = 0;
    ItemData logicalMin;
    ItemData logicalMax;
};

struct ShortItem {
    uint8_t type = 0;
    uint8_t tag = 0;
    uint32_t value = 0;
    size_t dataSize = 0;
};

// Usages and usage ranges of the coming main item. A four-byte usage carries its own page;
// a shorter one takes the page in force at the main item.
struct UsageRange {
    uint32_t first = 0;
    uint32_t last = 0;
    bool extended = false;
};

uint32_t WithPage(uint32_t usage, bool extended, uint32_t usagePage)
{
    return extended ? usage : (usagePage << 16) | (usage & 0xFFFF);
}

class DescriptorParser {
public:
    DescriptorParser(const uint8_t* data, size_t size, TDescriptorEnd end)
        : data_(data), size_(size), mayBeCut_(end == TDescriptorEnd::MayBeCut) {}

    THidDescriptorResult Run()
    {
        THidDescriptorResult result;
        if (size_ == 0)
            return Fail("the descriptor is empty");
        while (pos_ < size_) {
            if (!Step())
                return Fail(error_);
        }
        if (collectionDepth_ != 0 && !mayBeCut_)
            return Fail(std::to_string(collectionDepth_) + " collection(s) not closed at the end");
        result.ok = true;
        result.lengths.input = LongestReport(InputKind);
        result.lengths.output = LongestReport(OutputKind);
        result.lengths.feature = LongestReport(FeatureKind);
        // Report by report; within one report the descriptor's order is the bits' order.
        std::stable_sort(inputFields_.begin(), inputFields_.end(),
                         [](const THidInputField& a, const THidInputField& b) {
                             return a.reportId < b.reportId;
                         });
        result.inputFields = std::move(inputFields_);
        result.usesReportIds = usesReportIds_;
        return result;
    }

private:
    THidDescriptorResult Fail(const std::string& error) const
    {
        THidDescriptorResult result;
        result.error = error;
        return result;
    }

    bool Error(const std::string& what)
    {
        error_ = what + " at byte " + std::to_string(itemStart_);
        return false;
    }

    bool Step()
    {
        itemStart_ = pos_;
        if (data_[pos_] == LongItemPrefix)
            return SkipLongItem();
        ShortItem item;
        if (!ReadShortItem(item))
            return false;
        switch (item.type) {
        case MainItem: return ApplyMain(item);
        case GlobalItem: return ApplyGlobal(item);
        case LocalItem: ApplyLocal(item); return true;
        default: return true;   // reserved items change nothing
        }
    }

    bool SkipLongItem()
    {
        if (size_ - pos_ < 3 || size_ - pos_ - 3 < data_[pos_ + 1])
            return CutAtEnd() || Error("truncated long item");
        const size_t dataSize = data_[pos_ + 1];
        pos_ += 3 + dataSize;
        return true;
    }

    bool ReadShortItem(ShortItem& item)
    {
        const uint8_t prefix = data_[pos_];
        const size_t sizeCode = prefix & 0x3;
        const size_t dataSize = sizeCode == 3 ? 4 : sizeCode;
        item.type = (prefix >> 2) & 0x3;
        item.tag = prefix >> 4;
        item.value = 0;
        item.dataSize = dataSize;
        if (size_ - pos_ - 1 < dataSize) {
            if (!CutAtEnd())
                return Error("truncated item");
            if (item.type != MainItem)
                item.type = LocalItem;   // a cut global item has no item after it to affect
            return true;
        }
        for (size_t i = 0; i < dataSize; ++i)
            item.value |= uint32_t(data_[pos_ + 1 + i]) << (8 * i);
        pos_ += 1 + dataSize;
        return true;
    }

    // An item that runs past the end of a descriptor that may be cut ends the descriptor.
    bool CutAtEnd()
    {
        if (!mayBeCut_)
            return false;
        pos_ = size_;
        return true;
    }

    bool ApplyMain(const ShortItem& item)
    {
        const bool applied = ApplyMainItem(item);
        usages_.clear();
        usageMinimum_.reset();
        return applied;
    }

    bool ApplyMainItem(const ShortItem& item)
    {
        switch (item.tag) {
        case InputTag: return AddInputField(item.value);
        case OutputTag: return AddField(OutputKind);
        case FeatureTag: return AddField(FeatureKind);
        case CollectionTag:
            ++collectionDepth_;
            return true;
        case EndCollectionTag:
            if (collectionDepth_ == 0)
                return Error("End Collection without Collection");
            --collectionDepth_;
            return true;
        default:
            return true;
        }
    }

    bool AddField(ReportKind kind)
    {
        uint64_t& bits = reportBits_[kind][global_.reportId];
        bits += uint64_t(global_.reportSize) * global_.reportCount;
        if (BytesWithId(bits) > MaxReportBytes)
            return Error(std::string(KindNames[kind]) + " report " +
                         std::to_string(global_.reportId) + " longer than " +
                         std::to_string(MaxReportBytes) + " bytes");
        return true;
    }

    bool AddInputField(uint32_t flags)
    {
        const uint64_t firstBit = reportBits_[InputKind][global_.reportId];
        if (!AddField(InputKind))
            return false;
        if ((flags & ConstantFlag) == 0 && (flags & VariableFlag) != 0)
            ListInputValues(firstBit, (flags & NullStateFlag) != 0);
        return true;
    }

    void ListInputValues(uint64_t firstBit, bool hasNullState)
    {
        const std::vector<uint32_t> usages = UsagesOfMainItem();
        if (usages.empty() || global_.reportSize == 0)
            return;
        const int64_t logicalMin = global_.logicalMin.Signed();
        const bool isSigned = logicalMin < 0;
        const int64_t logicalMax =
            isSigned ? global_.logicalMax.Signed() : int64_t(global_.logicalMax.value);
        for (uint32_t i = 0; i < global_.reportCount && inputFields_.size() < MaxInputFields; ++i) {
            const uint32_t usage = usages[std::min<size_t>(i, usages.size() - 1)];
            THidInputField field;
            field.usagePage = uint16_t(usage >> 16);
            field.usage = uint16_t(usage & 0xFFFF);
            field.reportId = uint8_t(global_.reportId);
            field.bitOffset = uint32_t(firstBit + uint64_t(i) * global_.reportSize);
            field.bitSize = global_.reportSize;
            field.logicalMin = logicalMin;
            field.logicalMax = logicalMax;
            field.isSigned = isSigned;
            field.hasNullState = hasNullState;
            inputFields_.push_back(field);
        }
    }

    // As many usages as the item has values, at most: later values repeat the last usage.
    std::vector<uint32_t> UsagesOfMainItem() const
    {
        std::vector<uint32_t> usages;
        const size_t wanted = global_.reportCount;
        for (const UsageRange& range : usages_) {
            for (uint32_t usage = range.first; usages.size() < wanted; ++usage) {
                usages.push_back(WithPage(usage, range.extended, global_.usagePage));
                if (usage >= range.last)
                    break;
            }
        }
        return usages;
    }

    void ApplyLocal(const ShortItem& item)
    {
        const bool extended = item.dataSize == 4;
        switch (item.tag) {
        case UsageTag:
            usages_.push_back({item.value, item.value, extended});
            break;
        case UsageMinimumTag:
            usageMinimum_ = UsageRange{item.value, item.value, extended};
            break;
        case UsageMaximumTag:
            if (usageMinimum_) {
                UsageRange range = *usageMinimum_;
                // A four-byte minimum names the page; the maximum counts within it.
                range.last = range.extended ? (range.first & 0xFFFF0000u) | (item.value & 0xFFFF)
                                            : item.value & 0xFFFF;
                usages_.push_back(range);
                usageMinimum_.reset();
            }
            break;
        default:
            break;
        }
    }

    bool ApplyGlobal(const ShortItem& item)
    {
        switch (item.tag) {
        case UsagePageTag:
            global_.usagePage = item.value & 0xFFFF;
            return true;
        case LogicalMinimumTag:
            global_.logicalMin = {item.value, item.dataSize};
            return true;
        case LogicalMaximumTag:
            global_.logicalMax = {item.value, item.dataSize};
            return true;
        case ReportSizeTag:
            if (item.value > MaxReportSizeBits)
                return Error("Report Size " + std::to_string(item.value) + " larger than " +
                             std::to_string(MaxReportSizeBits) + " bits");
            global_.reportSize = item.value;
            return true;
        case ReportCountTag:
            if (item.value > MaxReportCount)
                return Error("Report Count " + std::to_string(item.value) + " larger than " +
                             std::to_string(MaxReportCount));
            global_.reportCount = item.value;
            return true;
        case ReportIdTag:
            if (item.value == 0 || item.value > MaxReportId)
                return Error("Report ID " + std::to_string(item.value) + " outside 1..255");
            global_.reportId = item.value;
            usesReportIds_ = true;
            return true;
        case PushTag:
            if (stack_.size() == MaxPushDepth)
                return Error("Push deeper than " + std::to_string(MaxPushDepth) + " levels");
            stack_.push_back(global_);
            return true;
        case PopTag:
            if (stack_.empty())
                return Error("Pop without Push");
            global_ = stack_.back();
            stack_.pop_back();
            return true;
        default:
            return true;
        }
    }

    static uint64_t BytesWithId(uint64_t bits) { return (bits + 7) / 8 + 1; }

    uint16_t LongestReport(ReportKind kind) const
    {
        uint64_t longest = 0;
        for (uint64_t bits : reportBits_[kind]) {
            if (bits != 0 && BytesWithId(bits) > longest)
                longest = BytesWithId(bits);
        }
        return static_cast<uint16_t>(longest);
    }

    const uint8_t* data_;
    size_t size_;
    bool mayBeCut_;
    size_t pos_ = 0;
    size_t itemStart_ = 0;
    std::string error_;
    GlobalState global_;
    std::vector<GlobalState> stack_;
    size_t collectionDepth_ = 0;
    std::array<std::array<uint64_t, MaxReportId + 1>, KindCount> reportBits_{};
    std::vector<UsageRange> usages_;
    std::optional<UsageRange> usageMinimum_;
    std::vector<THidInputField> inputFields_;
    bool usesReportIds_ = false;
};

} // namespace

THidDescriptorResult ParseReportDescriptor(const uint8_t* data, size_t size, TDescriptorEnd end)
{
    if (data == nullptr && size != 0) {
        THidDescriptorResult refused;
        refused.error = "no descriptor data";
        return refused;
    }
    return DescriptorParser(data, size, end).Run();
}

bool CapsFromReportDescriptor(const std::vector<uint8_t>& descriptor, THidCaps& caps,
                              TDescriptorEnd end)
{
    caps = THidCaps{};
    const THidDescriptorResult parsed = ParseReportDescriptor(descriptor, end);
    if (!parsed.ok)
        return false;
    caps.InputReportByteLength = parsed.lengths.input;
    caps.OutputReportByteLength = parsed.lengths.output;
    caps.FeatureReportByteLength = parsed.lengths.feature;
    return true;
}

} // namespace qzr
