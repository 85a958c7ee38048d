#pragma once
#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <span>

#include "records/RecordSet.h"
#include "ui/engineering/EngineeringHooks.h"

namespace qzr {

enum class TCellEditor {
    Text,       // a bound text box in the cell being edited
    CheckBox,   // drawn in every row, toggled by a click
    Pick,       // a bound text box with a pick button, in the cell being edited
};

// One column of the axis grid: its field, width in characters, titles and editor.
struct TNStructColumn {
    const char* field;
    int width;
    const char* title;   // "" when the column shows only its group title
    const char* group;   // "" when the column belongs to no group
    bool readOnly;
    TCellEditor editor;
    const char* editorName = "";
    std::function<void()> TEngineeringHooks::*pickHandler = nullptr;
};

std::span<const TNStructColumn> NStructColumns();

// The shown records of the axis set as rows, one column per entry of NStructColumns. It
// follows the set's notifications, and holds a toggled grid check box as pending until the
// shared click handler assigns it or the set asks for pending edits.
class TNStructModel : public QAbstractTableModel, public TDataLink {
    Q_OBJECT

public:
    static constexpr int GroupTitleRole = Qt::UserRole + 1;

    explicit TNStructModel(TDataSource& source, QObject* parent = nullptr);
    ~TNStructModel() override;

    TDataSource& Source() const { return source_; }
    TRecordSet& DataSet() const { return *source_.DataSet(); }
    const TNStructColumn& Column(int column) const { return NStructColumns()[column]; }
    TField& FieldOf(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    bool IsChecked(const QModelIndex& index) const;
    void SetPendingCheck(int column, bool checked);

    void DataEvent(TDataEvent kind, TField* field) override;
    void CommitPendingEdit() override;

signals:
    // The set's current record is now shown record `row` (-1: none).
    void currentRecordChanged(int row);

private:
    struct TPendingCheck {
        int row;
        int column;
        bool checked;
    };

    void FollowRowCount();
    void RefreshColumnsOf(const TField& field);

    TDataSource& source_;
    int rows_ = 0;
    std::optional<TPendingCheck> pendingCheck_;
};

} // namespace qzr
