#pragma once
#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "records/RecordSet.h"

namespace qzr {

struct TGridColumn {
    std::string field;
    QString title;
    int widthChars;
};

// The shown records of a data source's set as rows of the given columns, read-only.
class TRecordSetModel : public QAbstractTableModel, public TDataLink {
public:
    TRecordSetModel(TDataSource& source, std::vector<TGridColumn> columns, QObject* parent = nullptr);
    ~TRecordSetModel() override;

    TRecordSet& DataSet() const { return *source_.DataSet(); }
    const TGridColumn& Column(int column) const { return columns_.at(static_cast<size_t>(column)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void DataEvent(TDataEvent kind, TField* field) override;
    std::function<void()> OnCurrentMoved;   // after every notification

private:
    TDataSource& source_;
    std::vector<TGridColumn> columns_;
    int shownRows_ = 0;
};

// A read-only grid whose current row is the current record of the set, both ways.
class TDBGrid : public QTableView {
public:
    TDBGrid(TDataSource& source, std::vector<TGridColumn> columns, QWidget* parent = nullptr);

    TRecordSetModel& Model() const { return *model_; }
    std::function<void()> OnRowsChanged;   // the shown rows or the current one changed

private:
    void FollowCurrentRecord();
    void MoveCurrentRecord(int row);

    TRecordSetModel* model_;
    bool following_ = false;
};

} // namespace qzr
