#include "ui/controls/RawPicture.h"

#include <QtEndian>
#include <cstring>

namespace qzr {

namespace {

constexpr char Magic[4] = {'Q', 'Z', 'R', 'P'};
constexpr qint64 HeaderSize = 16;

void PutWord(QByteArray& out, quint32 value) {
    const quint32 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

quint32 WordAt(const uchar* data, int index) { return qFromLittleEndian<quint32>(data + 4 + 4 * index); }

} // namespace

QByteArray EncodeRawPicture(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const qsizetype lineBytes = (qsizetype(rgb.width()) * 3 + 3) / 4 * 4;
    QByteArray out(Magic, sizeof Magic);
    PutWord(out, quint32(rgb.width()));
    PutWord(out, quint32(rgb.height()));
    PutWord(out, quint32(lineBytes));
    for (int y = 0; y < rgb.height(); ++y) {
        QByteArray line(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype(rgb.width()) * 3);
        line.resize(lineBytes, '\0');
        out.append(line);
    }
    return out;
}

QImage RawPictureOver(const uchar* data, qint64 size) {
    if (!data || size < HeaderSize || std::memcmp(data, Magic, sizeof Magic) != 0) return {};
    const quint32 width = WordAt(data, 0);
    const quint32 height = WordAt(data, 1);
    const quint32 lineBytes = WordAt(data, 2);
    if (width == 0 || height == 0 || width > 1u << 15 || height > 1u << 15 || lineBytes < width * 3 ||
        lineBytes % 4 != 0 || qint64(lineBytes) * height != size - HeaderSize)
        return {};
    return QImage(data + HeaderSize, int(width), int(height), qsizetype(lineBytes), QImage::Format_RGB888);
}

} // namespace qzr
