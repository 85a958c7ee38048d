#pragma once
#include <QHash>
#include <QPointer>
#include <QTreeWidget>

namespace qzr {

// A property inspector: caption and editor rows, group rows whose rows are indented below
// them, the active row highlighted. Enter in a row's editor moves to the next row's editor.
class TDataInspector : public QTreeWidget {
public:
    explicit TDataInspector(QWidget* parent = nullptr);

    QTreeWidgetItem* AddGroup(const QString& caption);
    // Adds a row with its editor under `group` (top level when none).
    QTreeWidgetItem* AddRow(const QString& caption, QWidget* editor, QTreeWidgetItem* group = nullptr);

    void SetCaptionWidth(int pixels) { setColumnWidth(0, pixels); }
    QString Caption(const QTreeWidgetItem* row) const { return row->text(0); }
    void SetCaption(QTreeWidgetItem* row, const QString& caption) { row->setText(0, caption); }

    QWidget* EditorOf(const QTreeWidgetItem* row) const;
    QTreeWidgetItem* RowOf(const QWidget* editor) const;
    // The editor rows from top to bottom, groups left out.
    QList<QTreeWidgetItem*> EditorRows() const;
    void FocusRow(QTreeWidgetItem* row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveToNextRow(QTreeWidgetItem* row);
    void SelectValueOnEntry(QObject* editor, Qt::FocusReason reason);
    QTreeWidgetItem* RowOfWidget(const QObject* widget) const;

    QHash<const QWidget*, QTreeWidgetItem*> rowOfEditor_;
    QHash<const QTreeWidgetItem*, QWidget*> editorOfRow_;
    QPointer<QObject> clickSelecting_;   // the editor whose entering press is still to come
};

} // namespace qzr
