#include "ui/controls/BoundControl.h"

#include "ui/UserAction.h"

namespace qzr {

bool TakesFocusLossAsCommit(const QWidget& control, Qt::FocusReason reason) {
    if (reason == Qt::PopupFocusReason) return false;
    // A window being hidden is marked hidden before its focus widget is told.
    const QWidget& window = *control.window();
    return window.isVisible() && !window.isHidden();
}

TBoundControl::~TBoundControl() {
    if (dataSource_) dataSource_->RemoveLink(this);
}

void TBoundControl::SetDataSource(TDataSource* source) {
    Relink(source);
    pending_ = false;
    ShowFieldValue();
}

void TBoundControl::SetDataField(const std::string& fieldName) {
    dataField_ = fieldName;
    pending_ = false;
    ShowFieldValue();
}

void TBoundControl::Bind(TDataSource* source, const std::string& fieldName) {
    dataField_ = fieldName;
    SetDataSource(source);
}

void TBoundControl::Relink(TDataSource* source) {
    if (source == dataSource_) return;
    if (dataSource_) dataSource_->RemoveLink(this);
    dataSource_ = source;
    if (dataSource_) dataSource_->AddLink(this);
}

TRecordSet* TBoundControl::DataSet() const {
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

TField* TBoundControl::Field() const {
    TRecordSet* set = DataSet();
    return set ? set->FindField(dataField_) : nullptr;
}

std::string TBoundControl::FieldText() const {
    TField* field = Field();
    if (!field || !field->DataSet().HasCurrent()) return {};
    return field->DisplayText();
}

bool TBoundControl::FieldIsNull() const {
    TField* field = Field();
    return !field || !field->DataSet().HasCurrent() || field->IsNull();
}

bool TBoundControl::RequestEdit() {
    return dataSource_ && dataSource_->RequestEdit();
}

void TBoundControl::DataEvent(TDataEvent kind, TField* field) {
    if (kind == TDataEvent::FieldChange && field != Field()) return;
    pending_ = false;
    ShowFieldValue();
}

void TBoundControl::CommitPendingEdit() {
    if (!pending_) return;
    pending_ = false;
    TField* field = Field();
    if (!field) return;
    try {
        WritePendingValue(*field);
    } catch (...) {
        ShowFieldValue();
        throw;
    }
}

void TBoundControl::DropPendingEditIfWindowHidden(const QWidget& control) {
    if (!pending_ || !control.window()->isHidden()) return;
    pending_ = false;
    ShowFieldValue();
}

bool TBoundControl::CommitUserEdit() {
    if (!pending_) return true;
    if (RunUserAction([this] { CommitPendingEdit(); })) return true;
    pending_ = false;
    ShowFieldValue();
    return false;
}

} // namespace qzr
