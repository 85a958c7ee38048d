#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace qzr {

// Small in-memory tables with typed fields, one current record, an edit state, a change
// handler per field and controls bound to the fields of the current record.

enum class TFieldType { Word, Integer, Boolean, String, Float };
enum class TDataSetState { Browse, Edit, Insert };
enum class TDataEvent { FieldChange, RecordChange, SetChange, StateChange };

// A value to locate or range on: null, a number, a Boolean or a string.
using TVariant = std::variant<std::monostate, int64_t, bool, std::string, double>;

class ERecordSetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRecordSet;
class TField;
using TFieldNotify = std::function<void(TField& Sender)>;

// Decimal separator used by the text form of float fields (the UI sets the locale's).
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// General format with up to 15 significant digits and the decimal separator ("0,3", "1E20").
std::string FormatFloat(double value);

class TField {
public:
    TField(TRecordSet& owner, int index, std::string name, TFieldType type, int size);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }   // string fields: characters, as Utf8Characters.h counts them
    int Index() const { return index_; }
    TRecordSet& DataSet() const { return owner_; }

    std::string DisplayLabel;   // empty: the FieldName is used
    const std::string& Label() const { return DisplayLabel.empty() ? name_ : DisplayLabel; }
    int DisplayWidth = 10;      // characters
    bool Visible = true;
    TFieldNotify OnChange;

    // Values of the current record; a null field reads as 0, false, "" and empty text.
    bool IsNull() const;
    int64_t AsInteger() const;
    bool AsBoolean() const;
    std::string AsString() const;      // a string field's value; any other field's text form
    double AsFloat() const;
    std::string DisplayText() const;   // text form; "" for null; "True"/"False" for Booleans

    // The same for a shown record other than the current one (grids list every row).
    bool IsNullAt(int row) const;
    std::string DisplayTextAt(int row) const;
    bool AsBooleanAt(int row) const;

    // Assignments: store, set the modified flag, run OnChange, tell the bound controls.
    // They fail in browse state; word and integer fields refuse values outside their range.
    void SetInteger(int64_t value);
    void SetBoolean(bool value);
    void SetString(const std::string& value);   // on a non-string field: as SetText
    void SetFloat(double value);
    void SetText(const std::string& text);      // text entry, parsed as the field's type
    void Clear();                               // null

    // Text entry into word and integer fields accepts only 0-9, "+" and "-".
    bool AcceptsEntryChar(char32_t c) const;

    // Word and integer fields: the values an assignment accepts. The type's range unless
    // narrowed to what the field can carry (a structure byte, a code of a few bits).
    void SetRange(int64_t low, int64_t high);
    int64_t MinValue() const { return minValue_; }
    int64_t MaxValue() const { return maxValue_; }

private:
    void Assign(const TVariant& value);

    TRecordSet& owner_;
    int index_;
    std::string name_;
    TFieldType type_;
    int size_;
    int64_t minValue_;
    int64_t maxValue_;
};

// A bound control, seen from the record set.
class TDataLink {
public:
    virtual ~TDataLink() = default;
    // Re-read the shown field (kind FieldChange carries the field; the others concern all).
    virtual void DataEvent(TDataEvent kind, TField* field) = 0;
    // Write a pending user edit into the field (asked at PostRecord and FinishPending).
    virtual void CommitPendingEdit() {}
};

class TDataSource {
public:
    explicit TDataSource(TRecordSet* dataSet = nullptr, std::string name = {});
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    const std::string& Name() const { return name_; }
    TRecordSet* DataSet() const { return dataSet_; }
    void SetDataSet(TRecordSet* dataSet);
    bool AutoEdit = true;

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);
    // A bound control's edit request: StartEdit when AutoEdit is on and the set is browsing.
    // True when the set is then in edit or insert state.
    bool RequestEdit();

    // Used by the record set.
    void Notify(TDataEvent kind, TField* field);
    void CommitPendingEdits();

private:
    TRecordSet* dataSet_ = nullptr;
    std::string name_;
    std::vector<TDataLink*> links_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);   // false once destroyed
};

class TRecordSet {
public:
    explicit TRecordSet(std::string name);
    ~TRecordSet();
    TRecordSet(const TRecordSet&) = delete;
    TRecordSet& operator=(const TRecordSet&) = delete;

    const std::string& Name() const { return name_; }

    // Field definitions, in display order. String fields default to Size 20.
    TField& AddField(const std::string& name, TFieldType type, int size = 0);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& FieldAt(int index) const { return *fields_.at(static_cast<size_t>(index)); }
    TField& FieldNamed(const std::string& name) const;   // fails: "<set>: Field '<name>' not found"
    TField* FindField(const std::string& name) const;

    // Ordering index, e.g. "Type;Attr;Kod"; records stay in ascending order of these fields.
    void SetIndexFieldNames(const std::string& names);
    const std::vector<TField*>& IndexFields() const { return indexFields_; }

    TDataSetState State() const { return state_; }
    bool IsEditing() const { return state_ != TDataSetState::Browse; }
    bool Modified() const { return modified_; }

    // The shown records (all, or those inside the key range) and the current one among them.
    int RecordCount() const;
    bool HasCurrent() const;
    int RecNo() const;              // index of the current record among the shown ones, or -1
    void MoveTo(int row);           // FinishPending, then make shown record `row` current

    void StartEdit();
    void InsertBlank();
    void AppendBlank();
    void PostRecord();
    void DiscardRecord();
    void EmptySet();
    void FinishPending();
    bool LocateByValues(const std::string& fieldNames, const std::vector<TVariant>& values);
    bool LocateByValues(const std::string& fieldName, const TVariant& value) {
        return LocateByValues(fieldName, std::vector<TVariant>{value});
    }
    void SetKeyRange(const std::vector<TVariant>& startValues, const std::vector<TVariant>& endValues);
    void ClearKeyRange();
    bool HasKeyRange() const { return rangeActive_; }

    // Data sources bound to this set (TDataSource registers itself).
    void AttachDataSource(TDataSource* source);
    void DetachDataSource(TDataSource* source);

private:
    friend class TField;
    struct Impl;
    std::string name_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<TField*> indexFields_;
    TDataSetState state_ = TDataSetState::Browse;
    bool modified_ = false;
    bool rangeActive_ = false;
    std::unique_ptr<Impl> impl_;
};

} // namespace qzr
