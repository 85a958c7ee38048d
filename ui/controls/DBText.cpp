#include "ui/controls/DBText.h"

namespace qzr {

TDBText::TDBText(QWidget* parent) : QLabel(parent) {}

void TDBText::ShowFieldValue() {
    setText(QString::fromStdString(FieldText()));
}

} // namespace qzr
