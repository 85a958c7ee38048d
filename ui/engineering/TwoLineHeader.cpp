#include "ui/engineering/TwoLineHeader.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace qzr {

TTwoLineHeader::TTwoLineHeader(int groupTitleRole, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), groupTitleRole_(groupTitleRole) {
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSectionsClickable(false);
    setHighlightSections(false);
}

QString TTwoLineHeader::GroupTitle(int logicalIndex) const {
    if (!model()) return {};
    return model()->headerData(logicalIndex, orientation(), groupTitleRole_).toString();
}

QString TTwoLineHeader::ColumnTitle(int logicalIndex) const {
    if (!model()) return {};
    return model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
}

std::pair<int, int> TTwoLineHeader::GroupSpan(int logicalIndex) const {
    const QString group = GroupTitle(logicalIndex);
    if (group.isEmpty()) return {logicalIndex, logicalIndex};
    int first = logicalIndex;
    int last = logicalIndex;
    while (first > 0 && GroupTitle(first - 1) == group) --first;
    while (last + 1 < count() && GroupTitle(last + 1) == group) ++last;
    return {first, last};
}

int TTwoLineHeader::LineHeight() const {
    return fontMetrics().height() + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
}

QSize TTwoLineHeader::sectionSizeFromContents(int logicalIndex) const {
    const QSize one = QHeaderView::sectionSizeFromContents(logicalIndex);
    return {one.width(), 2 * LineHeight()};
}

// Every section of a group paints the whole group cell clipped to itself, so the pieces
// join into one cell with one title however the columns are scrolled.
QRect TTwoLineHeader::SpanRect(std::pair<int, int> span, const QRect& sectionRect) const {
    const int left = sectionViewportPosition(span.first);
    const int right = sectionViewportPosition(span.second) + sectionSize(span.second);
    return QRect(left, sectionRect.top(), right - left, sectionRect.height() / 2);
}

void TTwoLineHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    const int groupHeight = rect.height() / 2;
    const QRect groupCell = SpanRect(GroupSpan(logicalIndex), rect);
    const QRect titleCell(rect.left(), rect.top() + groupHeight, rect.width(),
                          rect.height() - groupHeight);
    PaintCell(painter, groupCell, rect.adjusted(0, 0, 0, groupHeight - rect.height()),
              logicalIndex, GroupTitle(logicalIndex));
    PaintCell(painter, titleCell, titleCell, logicalIndex, ColumnTitle(logicalIndex));
}

void TTwoLineHeader::PaintCell(QPainter* painter, const QRect& cell, const QRect& clip,
                               int logicalIndex, const QString& text) const {
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = cell;
    option.section = logicalIndex;
    option.text = text;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::Middle;
    painter->save();
    painter->setClipRect(clip);
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
}

} // namespace qzr
