#pragma once
#include <QLineEdit>

#include "ui/controls/BoundControl.h"

namespace qzr {

// A text box editing the text form of one field. Typing first asks the data source to edit;
// the typed text stays pending until focus loss, Enter or the set asks for it, and an
// assignment of the field by code drops it. Word and integer fields take only 0-9, + and -.
class TDBEdit : public QLineEdit, public TBoundControl {
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    bool IsReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void ShowFieldValue() override;
    void WritePendingValue(TField& field) override;

private:
    void UserEdited(const QString& text);
};

} // namespace qzr
