#include "ui/controls/DBGrid.h"

#include <QHeaderView>

#include "ui/UserAction.h"

namespace qzr {

TRecordSetModel::TRecordSetModel(TDataSource& source, std::vector<TGridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), source_(source), columns_(std::move(columns)) {
    source_.AddLink(this);
    shownRows_ = DataSet().RecordCount();
}

TRecordSetModel::~TRecordSetModel() {
    source_.RemoveLink(this);
}

int TRecordSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int TRecordSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TRecordSetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const TField* field = DataSet().FindField(Column(index.column()).field);
    if (!field || index.row() >= DataSet().RecordCount()) return {};
    return QString::fromStdString(field->DisplayTextAt(index.row()));
}

QVariant TRecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return Column(section).title;
}

void TRecordSetModel::DataEvent(TDataEvent, TField*) {
    // The sets are tiny: showing every row afresh costs nothing.
    const int rows = DataSet().RecordCount();
    if (rows != shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    }
    if (OnCurrentMoved) OnCurrentMoved();
}

TDBGrid::TDBGrid(TDataSource& source, std::vector<TGridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new TRecordSetModel(source, std::move(columns), this)) {
    setModel(model_);
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    const int charWidth = fontMetrics().averageCharWidth();
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnWidth(c, model_->Column(c).widthChars * charWidth + 8);
    horizontalHeader()->setStretchLastSection(true);
    model_->OnCurrentMoved = [this] { FollowCurrentRecord(); };
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { MoveCurrentRecord(current.row()); });
    FollowCurrentRecord();
}

void TDBGrid::FollowCurrentRecord() {
    following_ = true;
    const int row = model_->DataSet().RecNo();
    if (row >= 0) {
        const QModelIndex index = model_->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // A hidden grid (the classifier's, filled at start-up) is scrolled by the view itself
        // when it is shown; laying it out for every row filled meanwhile is wasted.
        if (isVisible()) scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    following_ = false;
    if (OnRowsChanged) OnRowsChanged();
}

void TDBGrid::MoveCurrentRecord(int row) {
    if (following_ || row < 0 || row == model_->DataSet().RecNo()) return;
    RunUserAction([&] { model_->DataSet().MoveTo(row); });
}

} // namespace qzr
