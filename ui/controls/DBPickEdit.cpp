#include "ui/controls/DBPickEdit.h"

#include <QKeyEvent>
#include <QStyle>

#include "ui/UserAction.h"

namespace qzr {

TDBPickEdit::TDBPickEdit(QWidget* parent) : TDBEdit(parent), button_(new QToolButton(this)) {
    button_->setObjectName("PickButton");
    button_->setText(QString::fromUtf8("…"));
    button_->setToolTip(QString::fromUtf8("Выбрать из списка (F4)"));
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    connect(button_, &QToolButton::clicked, this, [this] { RunPick(); });
}

void TDBPickEdit::RunPick() {
    RunUserAction([this] {
        if (!IsReadOnly() && !RequestEdit()) return;
        if (OnCustomDlg) OnCustomDlg(*this);
    });
}

void TDBPickEdit::resizeEvent(QResizeEvent* event) {
    TDBEdit::resizeEvent(event);
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const int side = height() - 2 * frame;
    button_->setGeometry(width() - frame - side, frame, side, side);
    setTextMargins(0, 0, side, 0);
}

void TDBPickEdit::keyPressEvent(QKeyEvent* event) {
    const bool pickKey = event->key() == Qt::Key_F4 ||
                         (event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier);
    if (pickKey) {
        RunPick();
        return;
    }
    TDBEdit::keyPressEvent(event);
}

} // namespace qzr
