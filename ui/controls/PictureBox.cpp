#include "ui/controls/PictureBox.h"

#include <QPainter>

namespace qzr {

void TPictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    const QSize size = picture_.deviceIndependentSize().toSize();
    const QPoint topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawPixmap(QRect(topLeft, size), picture_);
}

} // namespace qzr
