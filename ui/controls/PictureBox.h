#pragma once
#include <QPixmap>
#include <QWidget>

namespace qzr {

// A picture drawn at its own size, centred in the widget and clipped by it; what the
// picture leaves transparent shows the parent's background.
class TPictureBox : public QWidget {
public:
    explicit TPictureBox(QWidget* parent = nullptr) : QWidget(parent) {}

    void SetPicture(const QPixmap& picture);
    // Only `part` of a larger picture of `wholeSize`, whose top left corner lies at `origin`
    // in the whole: laid out as the whole would be, so the part shows where it belongs.
    void SetPicturePart(const QPixmap& part, QSize wholeSize, QPoint origin);
    const QPixmap& Picture() const { return picture_; }
    QSize WholeSize() const { return wholeSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QSize wholeSize_;
    QPoint origin_;
};

// The resource picture `path` (":/pictures/NAME.png") for a screen of `devicePixelRatio`:
// NAME@2x.png above ratio 1, so it stays sharp, else NAME.png; only the one chosen is decoded.
QPixmap LoadPicture(const QString& path, qreal devicePixelRatio);

} // namespace qzr
