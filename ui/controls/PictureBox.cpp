#include "ui/controls/PictureBox.h"

#include <QPainter>

namespace qzr {

void TPictureBox::SetPicture(const QPixmap& picture) {
    SetPicturePart(picture, picture.deviceIndependentSize().toSize(), {});
}

void TPictureBox::SetPicturePart(const QPixmap& part, QSize wholeSize, QPoint origin) {
    picture_ = part;
    wholeSize_ = wholeSize;
    origin_ = origin;
    update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    const QPoint wholeTopLeft((width() - wholeSize_.width()) / 2, (height() - wholeSize_.height()) / 2);
    painter.drawPixmap(QRect(wholeTopLeft + origin_, picture_.deviceIndependentSize().toSize()), picture_);
}

QPixmap LoadPicture(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1) {
        QString doubled = path;
        doubled.insert(doubled.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap sharp(doubled);
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    return QPixmap(path);
}

} // namespace qzr
