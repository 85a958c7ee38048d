#include "ui/controls/PictureBox.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QResource>

#include "ui/controls/RawPicture.h"

namespace qzr {

void TPictureBox::SetPicture(const QImage& picture) {
    SetPicturePart(picture, picture.deviceIndependentSize().toSize(), {});
}

void TPictureBox::SetPicturePart(const QImage& part, QSize wholeSize, QPoint origin) {
    picture_ = part;
    wholeSize_ = wholeSize;
    origin_ = origin;
    update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    const QPoint wholeTopLeft((width() - wholeSize_.width()) / 2, (height() - wholeSize_.height()) / 2);
    painter.drawImage(QRect(wholeTopLeft + origin_, picture_.deviceIndependentSize().toSize()), picture_);
}

namespace {

// Naming the format keeps Qt from loading every image plugin to guess it.
QImage ReadPng(const QString& path) {
    if (!QFile::exists(path)) return {};
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage RawSiblingOf(const QString& path) {
    QString rawPath = path;
    rawPath.replace(rawPath.lastIndexOf(QLatin1Char('.')), rawPath.size(), QStringLiteral(".rgb"));
    const QResource raw(rawPath);
    if (!raw.isValid() || raw.compressionAlgorithm() != QResource::NoCompression) return {};
    return RawPictureOver(raw.data(), raw.size());
}

} // namespace

QImage LoadPicture(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1) {
        QString doubled = path;
        doubled.insert(doubled.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QImage sharp = ReadPng(doubled);
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    const QImage raw = RawSiblingOf(path);
    return raw.isNull() ? ReadPng(path) : raw;
}

} // namespace qzr
