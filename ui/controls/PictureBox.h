#pragma once
#include <QImage>
#include <QWidget>

namespace qzr {

// A picture drawn at its own size, centred in the widget and clipped by it; what the
// picture leaves transparent shows the parent's background.
class TPictureBox : public QWidget {
public:
    explicit TPictureBox(QWidget* parent = nullptr) : QWidget(parent) {}

    void SetPicture(const QImage& picture);
    // Only `part` of a larger picture of `wholeSize`, whose top left corner lies at `origin`
    // in the whole: laid out as the whole would be, so the part shows where it belongs.
    void SetPicturePart(const QImage& part, QSize wholeSize, QPoint origin);
    const QImage& Picture() const { return picture_; }
    QSize WholeSize() const { return wholeSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QSize wholeSize_;
    QPoint origin_;
};

// The resource picture `path` (":/pictures/NAME.png") for a screen of `devicePixelRatio`:
// NAME@2x.png above ratio 1, so it stays sharp; else the raw NAME.rgb that the build made of
// NAME.png, shown in place, or NAME.png itself where there is no raw one. Only the one chosen
// is read.
QImage LoadPicture(const QString& path, qreal devicePixelRatio);

} // namespace qzr
