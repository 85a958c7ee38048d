#include "ui/controls/RecordViewPanel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

namespace qzr {

int WidthForChars(const QWidget& widget, int chars) {
    const int text = widget.fontMetrics().averageCharWidth() * chars;
    if (qobject_cast<const QCheckBox*>(&widget))
        return std::max(text, widget.sizeHint().width());
    const int frame = widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return text + 2 * frame + 6;
}

TRecordViewPanel::TRecordViewPanel(QWidget* parent) : QFrame(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(6, 3, 4, 3);
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(2);
}

QWidget* TRecordViewPanel::AddEntry(const QString& caption, QWidget* editor, int widthChars) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(editor);
    editor->setParent(this);
    // Text editors give way when the panel is narrower than their width in characters.
    const int width = WidthForChars(*editor, widthChars);
    if (qobject_cast<QCheckBox*>(editor)) {
        editor->setFixedWidth(width);
    } else {
        editor->setMaximumWidth(width);
        editor->setMinimumWidth(std::min(width, WidthForChars(*editor, 6)));
        editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    grid_->addWidget(label, row_, column_ * 2, Qt::AlignLeft | Qt::AlignVCenter);
    grid_->addWidget(editor, row_, column_ * 2 + 1, Qt::AlignVCenter);
    ++column_;
    // A column after the widest row takes the spare width, so the pairs stay packed left.
    if (column_ > widestRow_) {
        grid_->setColumnStretch(widestRow_ * 2, 0);
        widestRow_ = column_;
        grid_->setColumnStretch(widestRow_ * 2, 1);
    }
    return label;
}

void TRecordViewPanel::NewLine() {
    if (column_ == 0) return;
    ++row_;
    column_ = 0;
}

} // namespace qzr
