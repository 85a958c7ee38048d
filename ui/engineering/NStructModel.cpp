#include "ui/engineering/NStructModel.h"

#include <array>

namespace qzr {

namespace {

constexpr auto Text = TCellEditor::Text;
constexpr auto Check = TCellEditor::CheckBox;
constexpr auto Pick = TCellEditor::Pick;
constexpr bool ReadOnly = true;
constexpr bool Editable = false;

using H = TEngineeringHooks;

const std::array<TNStructColumn, 34> Columns{{
    {"N", 3, "N", "", Editable, Text},
    {"Len", 3, "Len", "", Editable, Text},
    {"Type", 4, "Type", "", Editable, Text},
    {"ConfUsage", 3, "", "Config+Usage", Editable, Text},
    {"ConfUsage_7", 2, "B7", "Config+Usage", Editable, Check, "wwCBConfUsg_7"},
    {"ConfUsage_ON", 2, "On", "Config+Usage", Editable, Check, "wwCBConfUsg_On"},
    {"ConfUsage_Inverted", 2, "Inv", "Config+Usage", Editable, Check, "wwCBConfUsg_Inv"},
    {"ConfUsage_Centered", 3, "Cen", "Config+Usage", Editable, Check, "wwCBConfUsg_Center"},
    {"ConfUsage_Revers", 3, "Rev", "Config+Usage", Editable, Check, "wwCBConfUsg_Rev"},
    {"ConfUsage_HIDUsagePage", 3, "", "Config+Usage", Editable, Text},
    {"ConfUsage_HIDUsagePageCalc", 16, "HID Usage Page", "Config+Usage", Editable, Pick,
     "cdNStructConfUsage_HIDUsage", &H::cdNStructConfUsage_HIDUsageCustomDlg},
    {"HID_Usage", 3, "", "HID Usage", Editable, Text},
    {"HID_UsageCalc", 9, "Описание", "HID Usage", Editable, Pick, "cdConfUsage_HIDUsagePage",
     &H::cdConfUsage_HIDUsagePageCustomDlg},
    {"Precision", 4, "", "Precision", Editable, Text},
    {"Precision_Data", 3, "Data", "Precision", ReadOnly, Text},
    {"Precision_Axis", 3, "Axis", "Precision", Editable, Text},
    {"CentCalibFiltr", 3, "", "Фильтр", Editable, Text},
    {"CentCalibFiltr_MF", 2, "MF", "Фильтр", Editable, Check, "wwCBCentCalibFiltr_MF"},
    {"CentCalibFiltr_DF", 2, "DF", "Фильтр", Editable, Check, "wwCBCentCalibFiltr_DF"},
    {"CentCalibFiltr_Filter", 7, "Степень", "Фильтр", Editable, Pick, "cdCentCalibFiltr_Filter",
     &H::cdCentCalibFiltr_FilterCustomDlg},
    {"CentCalibFiltr_CenterOk", 5, "Центр", "Фильтр", ReadOnly, Check},
    {"AUX", 3, "", "AUX", Editable, Text},
    {"AUX_AxisMap", 3, "Map", "AUX", Editable, Check, "wwcbAUX_AxisMap"},
    {"AUX_LedOn", 5, "Led ON", "AUX", Editable, Check, "wwcbAUX_LedOn"},
    {"AUX_Centr", 4, "Centr", "AUX", Editable, Check, "wwcbAUX_Centr"},
    {"Zic", 3, "Zic", "Zic", Editable, Text},
    {"ZicCalc", 6, "ZicCalc", "Zic", Editable, Text},
    {"DeadZoneLow", 3, "Low", "DeadZone", Editable, Text},
    {"DeadZoneHigh", 4, "High", "DeadZone", Editable, Text},
    {"KD_High", 5, "High", "KD", Editable, Text},
    {"KdLow", 5, "Low", "KD", Editable, Text},
    {"Bias", 5, "Bias", "", Editable, Text},
    {"DeadZoneHighCalc", 15, "DeadZoneHighCalc", "", Editable, Text},
    {"DeadZoneLowCalc", 14, "DeadZoneLowCalc", "", Editable, Text},
}};

} // namespace

std::span<const TNStructColumn> NStructColumns() {
    return Columns;
}

TNStructModel::TNStructModel(TDataSource& source, QObject* parent)
    : QAbstractTableModel(parent), source_(source), rows_(DataSet().RecordCount()) {
    source_.AddLink(this);
}

TNStructModel::~TNStructModel() {
    source_.RemoveLink(this);
}

TField& TNStructModel::FieldOf(int column) const {
    return DataSet().FieldNamed(Column(column).field);
}

int TNStructModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TNStructModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(NStructColumns().size());
}

bool TNStructModel::IsChecked(const QModelIndex& index) const {
    if (pendingCheck_ && pendingCheck_->row == index.row() && pendingCheck_->column == index.column())
        return pendingCheck_->checked;
    return FieldOf(index.column()).DisplayTextAt(index.row()) == "True";
}

QVariant TNStructModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= DataSet().RecordCount()) return {};
    const bool isCheck = Column(index.column()).editor == TCellEditor::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (isCheck) return {};
        return QString::fromStdString(FieldOf(index.column()).DisplayTextAt(index.row()));
    case Qt::CheckStateRole:
        if (!isCheck) return {};
        return IsChecked(index) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags TNStructModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TNStructColumn& column = Column(index.column());
    if (!column.readOnly && column.editor != TCellEditor::CheckBox) result |= Qt::ItemIsEditable;
    return result;
}

QVariant TNStructModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(Column(section).title);
    case GroupTitleRole:
        return QString::fromUtf8(Column(section).group);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

void TNStructModel::SetPendingCheck(int column, bool checked) {
    pendingCheck_ = TPendingCheck{DataSet().RecNo(), column, checked};
    const QModelIndex cell = index(pendingCheck_->row, column);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void TNStructModel::DataEvent(TDataEvent kind, TField* field) {
    if (kind == TDataEvent::FieldChange && field) {
        if (pendingCheck_ && Column(pendingCheck_->column).field == field->FieldName())
            pendingCheck_.reset();
        RefreshColumnsOf(*field);
        return;
    }
    pendingCheck_.reset();
    FollowRowCount();
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    emit currentRecordChanged(DataSet().RecNo());
}

// The view learns only how many rows there are now; every row is repainted afterwards, so
// a record that came or went anywhere but at the end still shows right.
void TNStructModel::FollowRowCount() {
    const int now = DataSet().RecordCount();
    if (now > rows_) {
        beginInsertRows({}, rows_, now - 1);
        rows_ = now;
        endInsertRows();
    } else if (now < rows_) {
        beginRemoveRows({}, now, rows_ - 1);
        rows_ = now;
        endRemoveRows();
    }
}

void TNStructModel::RefreshColumnsOf(const TField& field) {
    const int row = DataSet().RecNo();
    if (row < 0 || row >= rows_) return;
    for (int column = 0; column < columnCount(); ++column) {
        if (field.FieldName() != Column(column).field) continue;
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell);
    }
}

void TNStructModel::CommitPendingEdit() {
    if (!pendingCheck_) return;
    const TPendingCheck pending = *pendingCheck_;
    pendingCheck_.reset();
    if (pending.row != DataSet().RecNo()) return;
    FieldOf(pending.column).SetText(pending.checked ? "True" : "False");
}

} // namespace qzr
