#pragma once
#include <QLabel>

#include "ui/controls/BoundControl.h"

namespace qzr {

// A label showing the text of one field of the current record.
class TDBText : public QLabel, public TBoundControl {
public:
    explicit TDBText(QWidget* parent = nullptr);

protected:
    void ShowFieldValue() override;
    void WritePendingValue(TField&) override {}
};

} // namespace qzr
