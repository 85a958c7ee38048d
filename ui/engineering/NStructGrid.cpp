#include "ui/engineering/NStructGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/UserAction.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/engineering/NStructModel.h"
#include "ui/engineering/TwoLineHeader.h"

namespace qzr {

namespace {

// Cell editors are bound controls on the grid's data source: they show the current record,
// which is the row being edited, and keep the user's text pending like any bound editor.
class TNStructDelegate : public QStyledItemDelegate {
public:
    explicit TNStructDelegate(TNStructGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const TNStructColumn& column = grid_.Model().Column(index.column());
        TDBEdit* editor = column.editor == TCellEditor::Pick ? CreatePickEditor(parent, column)
                                                             : new TDBEdit(parent);
        editor->setObjectName(QString::fromUtf8(column.editorName));
        editor->setFrame(false);
        editor->Bind(&grid_.Model().Source(), column.field);
        return editor;
    }

    void setEditorData(QWidget*, const QModelIndex&) const override {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
        static_cast<TDBEdit*>(editor)->CommitUserEdit();
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (grid_.Model().Column(index.column()).editor != TCellEditor::CheckBox)
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        if (event->type() == QEvent::MouseButtonDblClick) return true;
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        grid_.ClickCheckBox(index);
        return true;
    }

private:
    TDBEdit* CreatePickEditor(QWidget* parent, const TNStructColumn& column) const {
        auto* editor = new TDBPickEdit(parent);
        const std::function<void()>& handler = grid_.Hooks().*column.pickHandler;
        editor->OnCustomDlg = [&handler](TDBPickEdit&) {
            if (handler) handler();
        };
        return editor;
    }

    TNStructGrid& grid_;
};

} // namespace

TNStructGrid::TNStructGrid(TDataSource& source, const TEngineeringHooks& hooks, QWidget* parent)
    : QTableView(parent),
      model_(new TNStructModel(source, this)),
      header_(new TTwoLineHeader(TNStructModel::GroupTitleRole, this)),
      hooks_(hooks) {
    setHorizontalHeader(header_);
    setModel(model_);
    setItemDelegate(new TNStructDelegate(*this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    SetColumnWidths();
    connect(model_, &TNStructModel::currentRecordChanged, this,
            [this](int row) { FollowCurrentRecord(row); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!moving_ && current.isValid()) MakeCurrent(current);
            });
}

// Widths count digits, as a grid column of numbers needs, plus the cell's text margins.
void TNStructGrid::SetColumnWidths() {
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int column = 0; column < model_->columnCount(); ++column)
        setColumnWidth(column, digit * model_->Column(column).width + margins);
}

// The grid's current cell goes to `cell` itself, not to the old column of its row, so a
// click is not scrolled away from the cell it landed on.
bool TNStructGrid::MakeCurrent(const QModelIndex& cell) {
    TRecordSet& set = model_->DataSet();
    if (set.RecNo() != cell.row()) {
        const QScopedValueRollback guard(moving_, true);
        RunUserAction([&] { set.MoveTo(cell.row()); });
    }
    if (set.RecNo() != cell.row()) {
        FollowCurrentRecord(set.RecNo());
        return false;
    }
    if (currentIndex().row() != cell.row()) setCurrentIndex(cell);
    return true;
}

void TNStructGrid::FollowCurrentRecord(int row) {
    if (moving_ || row < 0 || row >= model_->rowCount()) return;
    const QModelIndex current = currentIndex();
    if (current.row() == row) return;
    setCurrentIndex(model_->index(row, std::max(current.column(), 0)));
}

// Every way into a cell, mouse or keyboard, first makes its row the current record, so the
// bound cell editors and the click handler work on the row the user points at.
bool TNStructGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && !MakeCurrent(index)) return true;
    return QTableView::edit(index, trigger, event);
}

void TNStructGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && current.isValid() && state() != EditingState &&
        model_->Column(current.column()).editor == TCellEditor::CheckBox) {
        ClickCheckBox(current);
        return;
    }
    QTableView::keyPressEvent(event);
}

void TNStructGrid::ClickCheckBox(const QModelIndex& index) {
    const int row = index.row();
    const int column = index.column();
    const TNStructColumn& columnInfo = model_->Column(column);
    if (columnInfo.editor != TCellEditor::CheckBox || columnInfo.readOnly) return;
    if (!MakeCurrent(index)) return;
    RunUserAction([&] {
        TDataSource& source = model_->Source();
        if (!source.RequestEdit()) return;
        const bool checked = !model_->IsChecked(model_->index(row, column));
        model_->SetPendingCheck(column, checked);
        if (hooks_.CheckBoxClick) hooks_.CheckBoxClick(source, columnInfo.field, checked);
    });
}

} // namespace qzr
