#include "ui/controls/DBEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QValidator>

#include "ui/UserAction.h"

namespace qzr {

namespace {

// Refuses entry of characters the bound field does not take.
class TFieldEntryValidator : public QValidator {
public:
    TFieldEntryValidator(TDBEdit& edit) : QValidator(&edit), edit_(edit) {}

    State validate(QString& input, int&) const override {
        const TField* field = edit_.Field();
        if (!field) return Acceptable;
        for (char32_t c : input.toUcs4())
            if (!field->AcceptsEntryChar(c)) return Invalid;
        return Acceptable;
    }

private:
    TDBEdit& edit_;
};

} // namespace

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new TFieldEntryValidator(*this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { UserEdited(text); });
}

void TDBEdit::UserEdited(const QString& text) {
    if (HasPendingEdit()) return;
    const int cursor = cursorPosition();
    bool editing = false;
    // The edit request may reload the stored value into the box; the user's text goes back.
    RunUserAction([&] { editing = RequestEdit(); });
    if (!editing) {
        ShowFieldValue();
        return;
    }
    const QSignalBlocker blocker(this);
    setText(text);
    setCursorPosition(cursor);
    SetPending(true);
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) CommitUserEdit();
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (TakesFocusLossAsCommit(*this, event->reason())) CommitUserEdit();
}

void TDBEdit::hideEvent(QHideEvent* event) {
    QLineEdit::hideEvent(event);
    DropPendingEditIfWindowHidden(*this);
}

void TDBEdit::ShowFieldValue() {
    const QSignalBlocker blocker(this);
    setText(QString::fromStdString(FieldText()));
    if (!hasFocus()) setCursorPosition(0);   // long texts show their beginning
}

void TDBEdit::WritePendingValue(TField& field) {
    field.SetText(text().toStdString());
}

} // namespace qzr
