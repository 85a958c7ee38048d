#pragma once
#include <QHeaderView>
#include <utility>

namespace qzr {

// A horizontal header with two title lines: the group title (the model's GroupTitleRole) on
// the first, spanning the adjacent columns of one group, and the column title on the second.
// Titles are left-aligned.
class TTwoLineHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit TTwoLineHeader(int groupTitleRole, QWidget* parent = nullptr);

    QString GroupTitle(int logicalIndex) const;
    QString ColumnTitle(int logicalIndex) const;
    // First and last logical column of the group the column belongs to; a column without a
    // group spans itself.
    std::pair<int, int> GroupSpan(int logicalIndex) const;

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int LineHeight() const;
    QRect SpanRect(std::pair<int, int> span, const QRect& sectionRect) const;
    void PaintCell(QPainter* painter, const QRect& cell, const QRect& clip, int logicalIndex,
                   const QString& text) const;

    int groupTitleRole_;
};

} // namespace qzr
