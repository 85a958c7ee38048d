#pragma once
#include <QTableView>

#include "ui/engineering/EngineeringHooks.h"

namespace qzr {

class TDataSource;
class TNStructModel;
class TTwoLineHeader;

// The grid of axis records on dsNStruct: one row per record, the columns of NStructColumns
// under two-line titles. The row of the current cell is the set's current record. Text and
// pick columns are edited in the cell by bound editors; check boxes are drawn in every row
// and a click on one makes its row current, asks to edit, toggles and calls the shared
// click handler.
class TNStructGrid : public QTableView {
    Q_OBJECT

public:
    TNStructGrid(TDataSource& source, const TEngineeringHooks& hooks, QWidget* parent = nullptr);

    TNStructModel& Model() const { return *model_; }
    TTwoLineHeader& Header() const { return *header_; }
    const TEngineeringHooks& Hooks() const { return hooks_; }

    void ClickCheckBox(const QModelIndex& index);
    using QTableView::edit;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Makes the cell's row the set's current record; false when the set refused to move.
    bool MakeCurrent(const QModelIndex& cell);
    void FollowCurrentRecord(int row);
    void SetColumnWidths();

    TNStructModel* model_;
    TTwoLineHeader* header_;
    const TEngineeringHooks& hooks_;
    bool moving_ = false;
};

} // namespace qzr
