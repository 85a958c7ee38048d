#pragma once
#include <QCheckBox>
#include <functional>
#include <string>

#include "ui/controls/BoundControl.h"

namespace qzr {

// A check box showing a Boolean field: ticked for ValueChecked, unticked for ValueUnchecked
// and for null. A click first asks the data source to edit; only then does the box toggle,
// keep its state as pending and raise OnClick.
class TDBCheckBox : public QCheckBox, public TBoundControl {
public:
    explicit TDBCheckBox(QWidget* parent = nullptr);

    std::string ValueChecked = "True";
    std::string ValueUnchecked = "False";
    std::function<void(TDBCheckBox& Sender)> OnClick;

    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

protected:
    // The whole box takes the click, not only its indicator: it shows no text of its own.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void nextCheckState() override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void ShowFieldValue() override;
    void WritePendingValue(TField& field) override;

private:
    bool readOnly_ = false;
};

} // namespace qzr
