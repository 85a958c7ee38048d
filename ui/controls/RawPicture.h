#pragma once
// A picture kept as its pixels, as the screen takes them: shown straight from the program's
// resources with nothing to decode and no copy made. The build turns the PNG into this form.
//
// Layout: "QZRP", then width, height and bytes per line (32-bit little-endian each), then the
// lines, RGB888, each padded to a multiple of four bytes.
#include <QByteArray>
#include <QImage>

namespace qzr {

QByteArray EncodeRawPicture(const QImage& image);

// The picture over `data`, which must outlive it; a null image when `data` is not one.
QImage RawPictureOver(const uchar* data, qint64 size);

} // namespace qzr
