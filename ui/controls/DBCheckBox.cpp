#include "ui/controls/DBCheckBox.h"

#include <QFocusEvent>

#include "ui/UserAction.h"

namespace qzr {

TDBCheckBox::TDBCheckBox(QWidget* parent) : QCheckBox(parent) {
    setTristate(false);
}

void TDBCheckBox::nextCheckState() {
    if (readOnly_) return;
    RunUserAction([this] {
        if (!RequestEdit()) return;
        QCheckBox::nextCheckState();
        SetPending(true);
        if (OnClick) OnClick(*this);
    });
}

void TDBCheckBox::focusOutEvent(QFocusEvent* event) {
    QCheckBox::focusOutEvent(event);
    if (TakesFocusLossAsCommit(*this, event->reason())) CommitUserEdit();
}

void TDBCheckBox::hideEvent(QHideEvent* event) {
    QCheckBox::hideEvent(event);
    DropPendingEditIfWindowHidden(*this);
}

void TDBCheckBox::ShowFieldValue() {
    setChecked(!FieldIsNull() && FieldText() == ValueChecked);
}

void TDBCheckBox::WritePendingValue(TField& field) {
    field.SetText(isChecked() ? ValueChecked : ValueUnchecked);
}

} // namespace qzr
