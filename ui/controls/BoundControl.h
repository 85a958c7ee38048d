#pragma once
// What every control bound to one field of a data source shares: the binding itself, the
// refresh on the set's notifications and the user edit kept pending until it is written.
#include <QWidget>
#include <string>

#include "records/RecordSet.h"

namespace qzr {

// Starts editing unless the set is already in edit or insert state.
inline void EditIfNeeded(TRecordSet& set) {
    if (!set.IsEditing()) set.StartEdit();
}

// Whether losing the focus for `reason` writes the control's pending edit: not for a popup
// of the control's own (its context menu), nor while its window is being hidden or closed.
bool TakesFocusLossAsCommit(const QWidget& control, Qt::FocusReason reason);

class TBoundControl : public TDataLink {
public:
    TBoundControl() = default;
    ~TBoundControl() override;
    TBoundControl(const TBoundControl&) = delete;
    TBoundControl& operator=(const TBoundControl&) = delete;

    TDataSource* DataSource() const { return dataSource_; }
    const std::string& DataField() const { return dataField_; }
    void SetDataSource(TDataSource* source);
    void SetDataField(const std::string& fieldName);
    void Bind(TDataSource* source, const std::string& fieldName);

    TRecordSet* DataSet() const;
    // The bound field, or none when the source has no set or the set has no such field.
    TField* Field() const;
    // The field's text in the current record; "" without a current record.
    std::string FieldText() const;
    bool FieldIsNull() const;

    bool HasPendingEdit() const { return pending_; }
    // Closing or cancelling a window abandons the entries of its controls: called from the
    // control's hide event, it drops the pending edit once the control's window is hidden,
    // so nothing typed reaches the record later and the next opening shows the stored value.
    void DropPendingEditIfWindowHidden(const QWidget& control);
    // Writes the pending user edit from a user action (focus loss, Enter): a refused entry is
    // shown in an error box, dropped, and the stored value is shown again.
    bool CommitUserEdit();

    void DataEvent(TDataEvent kind, TField* field) override;
    void CommitPendingEdit() override;

protected:
    // Shows the stored value again.
    virtual void ShowFieldValue() = 0;
    // Writes the user's value into the field (called with a pending edit only).
    virtual void WritePendingValue(TField& field) = 0;
    // The edit request of a user starting to change the control: true once the set edits.
    bool RequestEdit();
    void SetPending(bool pending) { pending_ = pending; }

private:
    void Relink(TDataSource* source);

    TDataSource* dataSource_ = nullptr;
    std::string dataField_;
    bool pending_ = false;
};

} // namespace qzr
