#pragma once
#include <QFrame>
#include <QString>

class QGridLayout;

namespace qzr {

// Editor width for `chars` average characters of the widget's font, frame included.
int WidthForChars(const QWidget& widget, int chars);

// Caption and editor pairs laid out left to right; NewLine starts the next row. Captions
// line up in columns across rows, editors keep the width given in characters.
class TRecordViewPanel : public QFrame {
public:
    explicit TRecordViewPanel(QWidget* parent = nullptr);

    // Adds the editor (reparented to the panel) with its caption; returns the caption label.
    QWidget* AddEntry(const QString& caption, QWidget* editor, int widthChars);
    void NewLine();

    int RowCount() const { return row_ + (column_ > 0 ? 1 : 0); }

private:
    QGridLayout* grid_;
    int row_ = 0;
    int column_ = 0;
    int widestRow_ = 0;   // pairs in the widest row
};

} // namespace qzr
