#include "hid/HidReportDescriptor.h"

#include <array>
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

enum GlobalTag : uint8_t { ReportSizeTag = 0x7, ReportIdTag = 0x8, ReportCountTag = 0x9,
                           PushTag = 0xA, PopTag = 0xB };

enum ReportKind { InputKind = 0, OutputKind = 1, FeatureKind = 2, KindCount = 3 };

const char* const KindNames[KindCount] = {"input", "output", "feature"};

struct GlobalState {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

struct ShortItem {
    uint8_t type = 0;
    uint8_t tag = 0;
    uint32_t value = 0;
};

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
        default: return true;   // local and reserved items do not change report lengths
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
        switch (item.tag) {
        case InputTag: return AddField(InputKind);
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

    bool ApplyGlobal(const ShortItem& item)
    {
        switch (item.tag) {
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
};

} // namespace

THidDescriptorResult ParseReportDescriptor(const uint8_t* data, size_t size, TDescriptorEnd end)
{
    if (data == nullptr && size != 0)
        return {false, "no descriptor data", {}};
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
