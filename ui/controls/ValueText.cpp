#include "ui/controls/ValueText.h"

#include <QPainter>

namespace qzr {

TValueText::TValueText(const QString& widest, QWidget* parent) : QWidget(parent) {
    setFixedSize(fontMetrics().horizontalAdvance(widest) + 2, fontMetrics().height() + 2);
}

void TValueText::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void TValueText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(0, 0, -1, 0), Qt::AlignRight | Qt::AlignVCenter, text_);
}

} // namespace qzr
