#pragma once
// A short right-aligned text of fixed size that changes often (a live value). Unlike a label it
// asks for no new layout when its text changes, so a change costs one small repaint.
#include <QWidget>

namespace qzr {

class TValueText : public QWidget {
public:
    // Wide enough for `widest`, in the widget's font.
    TValueText(const QString& widest, QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

} // namespace qzr
