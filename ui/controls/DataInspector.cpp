#include "ui/controls/DataInspector.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "ui/controls/BoundControl.h"
#include "ui/controls/DBPickEdit.h"

namespace qzr {

namespace {

constexpr int RowHeight = 22;

// A check box sits in a transparent cell holder, so the row's highlight shows behind it.
QWidget* CellHolder(QWidget* editor) {
    if (!qobject_cast<QCheckBox*>(editor)) return editor;
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(editor);
    layout->addStretch();
    holder->setFocusProxy(editor);
    return holder;
}

} // namespace

TDataInspector::TDataInspector(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(2);
    setHeaderLabels({QString::fromUtf8("Параметр"), QString::fromUtf8("Значение")});
    header()->setSectionResizeMode(0, QHeaderView::Interactive);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setUniformRowHeights(true);
    setIndentation(14);
    setRootIsDecorated(true);
    setAllColumnsShowFocus(true);
    // A light highlight keeps the black text of the values readable on the active row.
    QPalette light = palette();
    light.setColor(QPalette::Highlight, QColor(0xCC, 0xE4, 0xF7));
    light.setColor(QPalette::HighlightedText, palette().color(QPalette::Text));
    setPalette(light);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { FocusRow(row); });
}

QTreeWidgetItem* TDataInspector::AddGroup(const QString& caption) {
    auto* group = new QTreeWidgetItem(this, {caption});
    group->setFirstColumnSpanned(true);
    QFont bold = font();
    bold.setBold(true);
    group->setFont(0, bold);
    group->setSizeHint(0, QSize(-1, RowHeight));
    group->setFlags(Qt::ItemIsEnabled);
    group->setExpanded(true);
    return group;
}

QTreeWidgetItem* TDataInspector::AddRow(const QString& caption, QWidget* editor, QTreeWidgetItem* group) {
    auto* row = group ? new QTreeWidgetItem(group, {caption}) : new QTreeWidgetItem(this, {caption});
    row->setSizeHint(0, QSize(-1, RowHeight));
    row->setToolTip(0, caption);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setFrame(false);
        if (line->isReadOnly()) {
            // Read-only values read like text on the row, highlight included; derived ones
            // are grey, values chosen from a list keep the text colour.
            QPalette palette = line->palette();
            palette.setColor(QPalette::Base, Qt::transparent);
            if (!dynamic_cast<TDBPickEdit*>(line))
                palette.setColor(QPalette::Text, QColor(0x5A, 0x5A, 0x5A));
            line->setPalette(palette);
            line->setFocusPolicy(Qt::ClickFocus);
        }
    }
    QWidget* cell = CellHolder(editor);
    setItemWidget(row, 1, cell);
    cell->setAutoFillBackground(false);   // the row's highlight shows behind the value
    rowOfEditor_.insert(editor, row);
    editorOfRow_.insert(row, editor);
    editor->installEventFilter(this);
    if (group) group->setExpanded(true);
    return row;
}

QWidget* TDataInspector::EditorOf(const QTreeWidgetItem* row) const {
    return editorOfRow_.value(row, nullptr);
}

QTreeWidgetItem* TDataInspector::RowOf(const QWidget* editor) const {
    return rowOfEditor_.value(editor, nullptr);
}

QTreeWidgetItem* TDataInspector::RowOfWidget(const QObject* widget) const {
    for (auto* w = qobject_cast<const QWidget*>(widget); w; w = w->parentWidget())
        if (auto* row = RowOf(w)) return row;
    return nullptr;
}

QList<QTreeWidgetItem*> TDataInspector::EditorRows() const {
    QList<QTreeWidgetItem*> rows;
    for (QTreeWidgetItemIterator it(const_cast<TDataInspector*>(this)); *it; ++it)
        if (EditorOf(*it)) rows.append(*it);
    return rows;
}

void TDataInspector::FocusRow(QTreeWidgetItem* row) {
    if (!row) return;
    setCurrentItem(row);
    if (QWidget* editor = EditorOf(row)) editor->setFocus(Qt::TabFocusReason);
}

void TDataInspector::MoveToNextRow(QTreeWidgetItem* row) {
    const QList<QTreeWidgetItem*> rows = EditorRows();
    const qsizetype at = rows.indexOf(row);
    if (at >= 0 && at + 1 < rows.size()) FocusRow(rows[at + 1]);
}

// As in a spreadsheet, entering a row selects its whole value, so typing replaces it. The
// click that enters a row by the mouse would put the caret where it landed; it is swallowed.
// Later clicks place the caret for editing inside the value.
void TDataInspector::SelectValueOnEntry(QObject* editor, Qt::FocusReason reason) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || line->isReadOnly() || reason == Qt::PopupFocusReason || reason == Qt::OtherFocusReason) return;
    line->selectAll();
    if (reason != Qt::MouseFocusReason) return;
    clickSelecting_ = line;
    // The press follows its focus change at once; a press that went elsewhere (the pick
    // button) must not leave the next click swallowed.
    QTimer::singleShot(0, this, [this] { clickSelecting_ = nullptr; });
}

bool TDataInspector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (QTreeWidgetItem* row = RowOfWidget(watched)) {
            setCurrentItem(row);
            scrollToItem(row);
        }
        SelectValueOnEntry(watched, static_cast<QFocusEvent*>(event)->reason());
    } else if (event->type() == QEvent::MouseButtonPress && watched == clickSelecting_) {
        clickSelecting_ = nullptr;
        return true;   // the click that entered the row keeps the value selected
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QTreeWidgetItem* row = RowOfWidget(watched);
            if (auto* bound = dynamic_cast<TBoundControl*>(watched)) {
                if (!bound->CommitUserEdit()) return true;
            }
            MoveToNextRow(row);
            return true;
        }
    }
    return QTreeWidget::eventFilter(watched, event);
}

} // namespace qzr
