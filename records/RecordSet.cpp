#include "records/RecordSet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "records/Utf8Characters.h"

namespace qzr {

namespace {

char gDecimalSeparator = '.';

const TVariant kNull{};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(';', start);
        if (end == std::string::npos)
            end = names.size();
        std::string part = Trimmed(names.substr(start, end - start));
        if (!part.empty())
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

std::string CutToSize(const std::string& text, int size)
{
    return CutToCharacters(text, size > 0 ? static_cast<size_t>(size) : 0);
}

bool ParseInt32(const std::string& text, int64_t& result)
{
    std::string s = Trimmed(text);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i == s.size())
        return false;
    int64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        magnitude = magnitude * 10 + (s[i] - '0');
        if (magnitude > int64_t{1} << 31)
            return false;
    }
    result = negative ? -magnitude : magnitude;
    return result >= std::numeric_limits<int32_t>::min() && result <= std::numeric_limits<int32_t>::max();
}

// Sign, digits with one optional decimal point (the separator or "."), optional exponent.
bool ParseFloatText(const std::string& text, double& result)
{
    std::string s = Trimmed(text);
    std::string normalized;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            normalized += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            ++mantissaDigits;
            normalized += c;
        } else if ((c == gDecimalSeparator || c == '.') && !seenPoint) {
            seenPoint = true;
            normalized += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        normalized += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            normalized += s[i++];
        size_t exponentStart = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            normalized += s[i++];
        if (i == exponentStart)
            return false;
    }
    if (i != s.size())
        return false;
    const char* end = normalized.data() + normalized.size();
    auto [ptr, ec] = std::from_chars(normalized.data(), end, result);
    return ec == std::errc{} && ptr == end && std::isfinite(result);
}

enum class Kind { Null, Boolean, Number, String };

Kind KindOf(const TVariant& v)
{
    if (std::holds_alternative<std::monostate>(v))
        return Kind::Null;
    if (std::holds_alternative<bool>(v))
        return Kind::Boolean;
    if (std::holds_alternative<std::string>(v))
        return Kind::String;
    return Kind::Number;
}

// Exact for every int64 and double, so 3 and 3.0 compare equal.
long double NumberOf(const TVariant& v)
{
    if (const auto* i = std::get_if<int64_t>(&v))
        return static_cast<long double>(*i);
    return static_cast<long double>(std::get<double>(v));
}

template <typename T>
int ThreeWay(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Index order: null first, then Booleans, numbers and strings (byte order).
int CompareValues(const TVariant& a, const TVariant& b)
{
    Kind ka = KindOf(a);
    Kind kb = KindOf(b);
    if (ka != kb)
        return ThreeWay(static_cast<int>(ka), static_cast<int>(kb));
    switch (ka) {
    case Kind::Null:
        return 0;
    case Kind::Boolean:
        return ThreeWay(std::get<bool>(a), std::get<bool>(b));
    case Kind::String:
        return ThreeWay(std::get<std::string>(a), std::get<std::string>(b));
    case Kind::Number:
        if (std::holds_alternative<int64_t>(a) && std::holds_alternative<int64_t>(b))
            return ThreeWay(std::get<int64_t>(a), std::get<int64_t>(b));
        return ThreeWay(NumberOf(a), NumberOf(b));
    }
    return 0;
}

// A null field equals no value.
bool LocateMatches(const TVariant& stored, const TVariant& wanted)
{
    Kind kind = KindOf(stored);
    return kind != Kind::Null && kind == KindOf(wanted) && CompareValues(stored, wanted) == 0;
}

bool IsWholeNumberType(TFieldType type) { return type == TFieldType::Word || type == TFieldType::Integer; }

} // namespace

char DecimalSeparator() { return gDecimalSeparator; }

void SetDecimalSeparator(char separator) { gDecimalSeparator = separator; }

std::string FormatFloat(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    char buffer[64];
    auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14);
    std::string scientific(buffer, converted.ptr);   // d.dddddddddddddde±xx
    size_t exponentAt = scientific.find('e');
    int exponent = std::atoi(scientific.c_str() + exponentAt + 1);
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, exponentAt - 2);
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += gDecimalSeparator;
            text += digits.substr(1);
        }
        text += 'E';
        text += std::to_string(exponent);
    } else if (exponent >= 0) {
        size_t integerDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() < integerDigits)
            digits.append(integerDigits - digits.size(), '0');
        text += digits.substr(0, integerDigits);
        if (digits.size() > integerDigits) {
            text += gDecimalSeparator;
            text += digits.substr(integerDigits);
        }
    } else {
        text += '0';
        text += gDecimalSeparator;
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

// ---------------------------------------------------------------------------------------------

struct TRecordSet::Impl {
    using Record = std::vector<TVariant>;

    explicit Impl(TRecordSet& owner) : set(owner) {}

    TRecordSet& set;
    std::vector<std::unique_ptr<Record>> records;   // in index order, or in placement order
    Record* current = nullptr;
    Record* currentBeforeInsert = nullptr;
    Record valuesBeforeEdit;
    std::vector<TVariant> rangeStart;
    std::vector<TVariant> rangeEnd;
    std::vector<TDataSource*> sources;

    [[noreturn]] void Fail(const std::string& message) const
    {
        throw ERecordSetError(set.name_ + ": " + message);
    }

    void RequireEditing() const
    {
        if (!set.IsEditing())
            Fail("Dataset not in edit or insert mode");
    }

    const TVariant& ValueOf(const Record* record, int field) const
    {
        return record ? (*record)[static_cast<size_t>(field)] : kNull;
    }

    // --- order and key range

    int CompareKeyPrefix(const Record& record, const std::vector<TVariant>& key) const
    {
        size_t count = std::min(key.size(), set.indexFields_.size());
        for (size_t i = 0; i < count; ++i) {
            int order = CompareValues(ValueOf(&record, set.indexFields_[i]->Index()), key[i]);
            if (order != 0)
                return order;
        }
        return 0;
    }

    int CompareKeys(const Record& a, const Record& b) const
    {
        for (const TField* field : set.indexFields_) {
            int order = CompareValues(ValueOf(&a, field->Index()), ValueOf(&b, field->Index()));
            if (order != 0)
                return order;
        }
        return 0;
    }

    bool InRange(const Record& record) const
    {
        return CompareKeyPrefix(record, rangeStart) >= 0 && CompareKeyPrefix(record, rangeEnd) <= 0;
    }

    // A record being inserted stays in view until it is posted or dropped.
    bool IsShown(const Record& record) const
    {
        return !set.rangeActive_ || InRange(record)
            || (set.state_ == TDataSetState::Insert && &record == current);
    }

    std::vector<Record*> Shown() const
    {
        std::vector<Record*> shown;
        for (const auto& record : records)
            if (IsShown(*record))
                shown.push_back(record.get());
        return shown;
    }

    Record* FirstShown() const
    {
        for (const auto& record : records)
            if (IsShown(*record))
                return record.get();
        return nullptr;
    }

    Record* ShownAt(int row) const
    {
        std::vector<Record*> shown = Shown();
        if (row < 0 || row >= static_cast<int>(shown.size()))
            Fail("Row " + std::to_string(row) + " out of range");
        return shown[static_cast<size_t>(row)];
    }

    bool Holds(const Record* record) const
    {
        return std::any_of(records.begin(), records.end(),
                           [record](const auto& held) { return held.get() == record; });
    }

    size_t PositionOf(const Record* record) const
    {
        auto found = std::find_if(records.begin(), records.end(),
                                  [record](const auto& held) { return held.get() == record; });
        return static_cast<size_t>(found - records.begin());
    }

    void SortByIndex()
    {
        std::stable_sort(records.begin(), records.end(),
                         [this](const auto& a, const auto& b) { return CompareKeys(*a, *b) < 0; });
    }

    // Moves a record after the last record whose key is not greater than its own.
    void PlaceByIndex(Record* record)
    {
        if (set.indexFields_.empty())
            return;
        size_t from = PositionOf(record);
        std::unique_ptr<Record> held = std::move(records[from]);
        records.erase(records.begin() + static_cast<std::ptrdiff_t>(from));
        auto to = std::find_if(records.begin(), records.end(),
                               [&](const auto& other) { return CompareKeys(*record, *other) < 0; });
        records.insert(to, std::move(held));
    }

    // --- notifications

    void Notify(TDataEvent kind, TField* field = nullptr)
    {
        std::vector<TDataSource*> targets = sources;
        for (TDataSource* source : targets)
            if (std::find(sources.begin(), sources.end(), source) != sources.end())
                source->Notify(kind, field);
    }

    void CommitPendingEdits()
    {
        std::vector<TDataSource*> targets = sources;
        for (TDataSource* source : targets)
            if (std::find(sources.begin(), sources.end(), source) != sources.end())
                source->CommitPendingEdits();
    }

    void SetState(TDataSetState state)
    {
        set.modified_ = false;
        if (set.state_ == state)
            return;
        set.state_ = state;
        Notify(TDataEvent::StateChange);
    }

    // --- editing

    void BeginInsert(size_t position)
    {
        auto record = std::make_unique<Record>(set.fields_.size());
        Record* added = record.get();
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(position), std::move(record));
        currentBeforeInsert = current;
        current = added;
        SetState(TDataSetState::Insert);
        Notify(TDataEvent::SetChange);
    }

    void Post()
    {
        PlaceByIndex(current);
        SetState(TDataSetState::Browse);
        if (current && !IsShown(*current))
            current = FirstShown();
        Notify(TDataEvent::SetChange);
    }

    void Discard()
    {
        if (set.state_ == TDataSetState::Edit) {
            *current = valuesBeforeEdit;
        } else {
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(PositionOf(current)));
            current = Holds(currentBeforeInsert) ? currentBeforeInsert : FirstShown();
        }
        SetState(TDataSetState::Browse);
        Notify(TDataEvent::SetChange);
    }

    void FinishPending()
    {
        if (!set.IsEditing())
            return;
        CommitPendingEdits();
        if (!set.IsEditing())
            return;
        if (set.modified_)
            Post();
        else
            Discard();
    }

    std::vector<TField*> FieldsNamed(const std::string& names) const
    {
        std::vector<TField*> fields;
        for (const std::string& name : SplitNames(names))
            fields.push_back(&set.FieldNamed(name));
        return fields;
    }
};

// ---------------------------------------------------------------------------------------------

TField::TField(TRecordSet& owner, int index, std::string name, TFieldType type, int size)
    : owner_(owner), index_(index), name_(std::move(name)), type_(type), size_(size),
      minValue_(type == TFieldType::Word ? 0 : std::numeric_limits<int32_t>::min()),
      maxValue_(type == TFieldType::Word ? 65535 : std::numeric_limits<int32_t>::max())
{
}

void TField::SetRange(int64_t low, int64_t high)
{
    minValue_ = low;
    maxValue_ = high;
}

bool TField::IsNull() const { return std::holds_alternative<std::monostate>(owner_.impl_->ValueOf(owner_.impl_->current, index_)); }

namespace {

int64_t IntegerOf(const TField& field, const TVariant& value)
{
    if (const auto* i = std::get_if<int64_t>(&value))
        return *i;
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1 : 0;
    if (const auto* d = std::get_if<double>(&value)) {
        double rounded = std::round(*d);
        if (!(rounded >= -9.2e18 && rounded <= 9.2e18))
            return 0;
        return static_cast<int64_t>(rounded);
    }
    if (const auto* s = std::get_if<std::string>(&value)) {
        int64_t parsed = 0;
        if (s->empty())
            return 0;
        if (!ParseInt32(*s, parsed))
            throw ERecordSetError(Quoted(*s) + " is not a valid integer value for field " + Quoted(field.Label()));
        return parsed;
    }
    return 0;
}

std::string TextOf(const TField& field, const TVariant& value)
{
    switch (KindOf(value)) {
    case Kind::Null:
        return {};
    case Kind::Boolean:
        return std::get<bool>(value) ? "True" : "False";
    case Kind::String:
        return std::get<std::string>(value);
    case Kind::Number:
        if (field.DataType() == TFieldType::Float || std::holds_alternative<double>(value))
            return FormatFloat(static_cast<double>(NumberOf(value)));
        return std::to_string(std::get<int64_t>(value));
    }
    return {};
}

bool BooleanOf(const TVariant& value)
{
    if (const auto* b = std::get_if<bool>(&value))
        return *b;
    if (const auto* s = std::get_if<std::string>(&value)) {
        std::string lower;
        for (char c : *s)
            lower += AsciiLower(c);
        return !lower.empty() && std::string("true").starts_with(lower);
    }
    if (KindOf(value) == Kind::Number)
        return NumberOf(value) != 0;
    return false;
}

// `stored` is what would be stored, `assigned` what the caller gave (they differ for rounded floats).
void CheckRange(const TField& field, double stored, double assigned)
{
    const auto low = static_cast<double>(field.MinValue());
    const auto high = static_cast<double>(field.MaxValue());
    if (stored >= low && stored <= high)
        return;
    throw ERecordSetError(FormatFloat(assigned) + " is not a valid value for field " + Quoted(field.Label())
                          + ". The allowed range is " + FormatFloat(low) + " to " + FormatFloat(high));
}

} // namespace

int64_t TField::AsInteger() const { return IntegerOf(*this, owner_.impl_->ValueOf(owner_.impl_->current, index_)); }

bool TField::AsBoolean() const { return BooleanOf(owner_.impl_->ValueOf(owner_.impl_->current, index_)); }

std::string TField::AsString() const { return DisplayText(); }

double TField::AsFloat() const
{
    const TVariant& value = owner_.impl_->ValueOf(owner_.impl_->current, index_);
    if (KindOf(value) == Kind::Number)
        return static_cast<double>(NumberOf(value));
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1 : 0;
    double parsed = 0;
    if (const auto* s = std::get_if<std::string>(&value); s && !s->empty() && !ParseFloatText(*s, parsed))
        throw ERecordSetError(Quoted(*s) + " is not a valid floating point value for field " + Quoted(Label()));
    return parsed;
}

std::string TField::DisplayText() const { return TextOf(*this, owner_.impl_->ValueOf(owner_.impl_->current, index_)); }

bool TField::IsNullAt(int row) const
{
    return std::holds_alternative<std::monostate>(owner_.impl_->ValueOf(owner_.impl_->ShownAt(row), index_));
}

std::string TField::DisplayTextAt(int row) const
{
    return TextOf(*this, owner_.impl_->ValueOf(owner_.impl_->ShownAt(row), index_));
}

bool TField::AsBooleanAt(int row) const { return BooleanOf(owner_.impl_->ValueOf(owner_.impl_->ShownAt(row), index_)); }

void TField::SetInteger(int64_t value)
{
    owner_.impl_->RequireEditing();
    switch (type_) {
    case TFieldType::Word:
    case TFieldType::Integer:
        CheckRange(*this, static_cast<double>(value), static_cast<double>(value));
        Assign(value);
        break;
    case TFieldType::Boolean:
        Assign(value != 0);
        break;
    case TFieldType::String:
        Assign(CutToSize(std::to_string(value), size_));
        break;
    case TFieldType::Float:
        Assign(static_cast<double>(value));
        break;
    }
}

void TField::SetBoolean(bool value)
{
    owner_.impl_->RequireEditing();
    switch (type_) {
    case TFieldType::Word:
    case TFieldType::Integer:
        Assign(int64_t{value ? 1 : 0});
        break;
    case TFieldType::Boolean:
        Assign(value);
        break;
    case TFieldType::String:
        Assign(CutToSize(value ? "True" : "False", size_));
        break;
    case TFieldType::Float:
        Assign(value ? 1.0 : 0.0);
        break;
    }
}

void TField::SetString(const std::string& value)
{
    if (type_ != TFieldType::String)
        return SetText(value);
    owner_.impl_->RequireEditing();
    Assign(CutToSize(value, size_));
}

void TField::SetFloat(double value)
{
    owner_.impl_->RequireEditing();
    switch (type_) {
    case TFieldType::Word:
    case TFieldType::Integer: {
        double rounded = std::round(value);
        CheckRange(*this, rounded, value);
        Assign(static_cast<int64_t>(rounded));
        break;
    }
    case TFieldType::Boolean:
        Assign(value != 0);
        break;
    case TFieldType::String:
        Assign(CutToSize(FormatFloat(value), size_));
        break;
    case TFieldType::Float:
        Assign(value);
        break;
    }
}

void TField::SetText(const std::string& text)
{
    owner_.impl_->RequireEditing();
    if (type_ == TFieldType::String)
        return Assign(CutToSize(text, size_));
    if (type_ == TFieldType::Boolean) {
        if (text.empty())
            return Assign(std::monostate{});
        std::string lower;
        for (char c : text)
            lower += AsciiLower(c);
        if (std::string("false").starts_with(lower))
            return Assign(false);
        if (std::string("true").starts_with(lower))
            return Assign(true);
        throw ERecordSetError(Quoted(text) + " is not a valid boolean value for field " + Quoted(Label()));
    }
    if (Trimmed(text).empty())
        return Assign(std::monostate{});
    if (type_ == TFieldType::Float) {
        double parsed = 0;
        if (!ParseFloatText(text, parsed))
            throw ERecordSetError(Quoted(text) + " is not a valid floating point value for field " + Quoted(Label()));
        return Assign(parsed);
    }
    int64_t parsed = 0;
    if (!ParseInt32(text, parsed))
        throw ERecordSetError(Quoted(text) + " is not a valid integer value for field " + Quoted(Label()));
    SetInteger(parsed);
}

void TField::Clear()
{
    owner_.impl_->RequireEditing();
    Assign(std::monostate{});
}

bool TField::AcceptsEntryChar(char32_t c) const
{
    if (!IsWholeNumberType(type_))
        return true;
    return (c >= U'0' && c <= U'9') || c == U'+' || c == U'-';
}

// The bound controls learn of the stored value even when the handler fails, so they never show
// a value the record no longer holds.
void TField::Assign(const TVariant& value)
{
    TRecordSet::Impl& impl = *owner_.impl_;
    (*impl.current)[static_cast<size_t>(index_)] = value;
    owner_.modified_ = true;
    if (OnChange) {
        TFieldNotify handler = OnChange;   // the handler may replace OnChange while it runs
        try {
            handler(*this);
        } catch (...) {
            impl.Notify(TDataEvent::FieldChange, this);
            throw;
        }
    }
    impl.Notify(TDataEvent::FieldChange, this);
}

// ---------------------------------------------------------------------------------------------

TDataSource::TDataSource(TRecordSet* dataSet, std::string name) : name_(std::move(name))
{
    SetDataSet(dataSet);
}

TDataSource::~TDataSource()
{
    *alive_ = false;
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TRecordSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    TRecordSet* previous = dataSet_;
    dataSet_ = dataSet;
    if (previous)
        previous->DetachDataSource(this);
    if (dataSet)
        dataSet->AttachDataSource(this);
}

void TDataSource::AddLink(TDataLink* link)
{
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

bool TDataSource::RequestEdit()
{
    if (!dataSet_)
        return false;
    if (AutoEdit && dataSet_->State() == TDataSetState::Browse)
        dataSet_->StartEdit();
    return dataSet_ && dataSet_->IsEditing();
}

// Links may be added, removed or destroyed, and the source itself destroyed, by a link's reaction.
template <typename Call>
static void ForEachLink(const std::vector<TDataLink*>& links, const std::shared_ptr<bool>& alive, Call call)
{
    std::shared_ptr<bool> keepAlive = alive;
    std::vector<TDataLink*> targets = links;
    for (TDataLink* link : targets) {
        if (!*keepAlive)
            return;
        if (std::find(links.begin(), links.end(), link) != links.end())
            call(link);
    }
}

void TDataSource::Notify(TDataEvent kind, TField* field)
{
    ForEachLink(links_, alive_, [&](TDataLink* link) { link->DataEvent(kind, field); });
}

void TDataSource::CommitPendingEdits()
{
    ForEachLink(links_, alive_, [](TDataLink* link) { link->CommitPendingEdit(); });
}

// ---------------------------------------------------------------------------------------------

TRecordSet::TRecordSet(std::string name) : name_(std::move(name)), impl_(std::make_unique<Impl>(*this)) {}

TRecordSet::~TRecordSet()
{
    std::vector<TDataSource*> sources = impl_->sources;
    for (TDataSource* source : sources)
        DetachDataSource(source);
}

TField& TRecordSet::AddField(const std::string& name, TFieldType type, int size)
{
    if (FindField(name))
        impl_->Fail("Duplicate field name " + Quoted(name));
    if (type != TFieldType::String)
        size = 0;
    else if (size <= 0)
        size = 20;
    fields_.push_back(std::make_unique<TField>(*this, FieldCount(), name, type, size));
    for (auto& record : impl_->records)
        record->emplace_back();
    if (state_ == TDataSetState::Edit)
        impl_->valuesBeforeEdit.emplace_back();
    return *fields_.back();
}

TField* TRecordSet::FindField(const std::string& name) const
{
    for (const auto& field : fields_)
        if (SameNameIgnoringCase(field->FieldName(), name))
            return field.get();
    return nullptr;
}

TField& TRecordSet::FieldNamed(const std::string& name) const
{
    TField* field = FindField(name);
    if (!field)
        impl_->Fail("Field " + Quoted(name) + " not found");
    return *field;
}

void TRecordSet::SetIndexFieldNames(const std::string& names)
{
    std::vector<TField*> fields = impl_->FieldsNamed(names);
    impl_->FinishPending();
    indexFields_ = std::move(fields);
    if (indexFields_.empty()) {
        rangeActive_ = false;
    } else {
        impl_->SortByIndex();
        if (rangeActive_ && impl_->current && !impl_->IsShown(*impl_->current))
            impl_->current = impl_->FirstShown();
    }
    impl_->Notify(TDataEvent::SetChange);
}

int TRecordSet::RecordCount() const { return static_cast<int>(impl_->Shown().size()); }

bool TRecordSet::HasCurrent() const { return impl_->current != nullptr; }

int TRecordSet::RecNo() const
{
    std::vector<Impl::Record*> shown = impl_->Shown();
    auto found = std::find(shown.begin(), shown.end(), impl_->current);
    return found == shown.end() ? -1 : static_cast<int>(found - shown.begin());
}

void TRecordSet::MoveTo(int row)
{
    impl_->ShownAt(row);
    impl_->FinishPending();
    std::vector<Impl::Record*> shown = impl_->Shown();   // a dropped insert may have shortened it
    impl_->current = shown.empty() ? nullptr : shown[std::min(static_cast<size_t>(row), shown.size() - 1)];
    impl_->Notify(TDataEvent::SetChange);
}

void TRecordSet::StartEdit()
{
    if (IsEditing())
        return;
    if (!impl_->current)
        return InsertBlank();
    impl_->valuesBeforeEdit = *impl_->current;
    impl_->SetState(TDataSetState::Edit);
    impl_->Notify(TDataEvent::RecordChange);
}

void TRecordSet::InsertBlank()
{
    impl_->FinishPending();
    impl_->BeginInsert(impl_->current ? impl_->PositionOf(impl_->current) : 0);
}

void TRecordSet::AppendBlank()
{
    impl_->FinishPending();
    impl_->BeginInsert(impl_->records.size());
}

void TRecordSet::PostRecord()
{
    impl_->RequireEditing();
    impl_->CommitPendingEdits();
    if (IsEditing())
        impl_->Post();
}

void TRecordSet::DiscardRecord()
{
    if (IsEditing())
        impl_->Discard();
}

void TRecordSet::EmptySet()
{
    impl_->FinishPending();
    impl_->records.clear();
    impl_->current = nullptr;
    impl_->currentBeforeInsert = nullptr;
    impl_->Notify(TDataEvent::SetChange);
}

void TRecordSet::FinishPending() { impl_->FinishPending(); }

bool TRecordSet::LocateByValues(const std::string& fieldNames, const std::vector<TVariant>& values)
{
    std::vector<TField*> fields = impl_->FieldsNamed(fieldNames);
    if (fields.empty() || fields.size() != values.size())
        impl_->Fail("Locate needs one value for each of the fields '" + fieldNames + "'");
    impl_->FinishPending();
    for (Impl::Record* record : impl_->Shown()) {
        bool matches = true;
        for (size_t i = 0; i < fields.size() && matches; ++i)
            matches = LocateMatches(impl_->ValueOf(record, fields[i]->Index()), values[i]);
        if (matches) {
            impl_->current = record;
            impl_->Notify(TDataEvent::SetChange);
            return true;
        }
    }
    return false;
}

void TRecordSet::SetKeyRange(const std::vector<TVariant>& startValues, const std::vector<TVariant>& endValues)
{
    if (indexFields_.empty())
        impl_->Fail("No index currently active");
    impl_->FinishPending();
    impl_->rangeStart = startValues;
    impl_->rangeEnd = endValues;
    rangeActive_ = true;
    impl_->current = impl_->FirstShown();
    impl_->Notify(TDataEvent::SetChange);
}

void TRecordSet::ClearKeyRange()
{
    impl_->FinishPending();
    rangeActive_ = false;
    impl_->rangeStart.clear();
    impl_->rangeEnd.clear();
    impl_->Notify(TDataEvent::SetChange);
}

void TRecordSet::AttachDataSource(TDataSource* source)
{
    if (!source)
        return;
    if (source->DataSet() != this)
        return source->SetDataSet(this);   // comes back here once the source points at this set
    if (std::find(impl_->sources.begin(), impl_->sources.end(), source) == impl_->sources.end())
        impl_->sources.push_back(source);
}

void TRecordSet::DetachDataSource(TDataSource* source)
{
    auto& sources = impl_->sources;
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
    if (source && source->DataSet() == this)
        source->SetDataSet(nullptr);
}

} // namespace qzr
