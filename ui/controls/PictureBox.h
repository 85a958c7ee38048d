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
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace qzr
