#include "ui/LiveAxesPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "records/Rubr.h"
#include "ui/controls/AxisPositionBar.h"
#include "ui/controls/ValueText.h"

namespace qzr {

namespace {

const QString NoValue = QStringLiteral("\u2014");

} // namespace

void TAxisNames::ReadClassifier(TRubr& classifier) {
    classifierNames_.clear();
    TRecordSet& rows = classifier.cdsRubr;
    for (const uint16_t page : {GenericDesktopPage, SimulationControlsPage}) {
        rows.SetKeyRange({int64_t{rubrUsages}, int64_t{page}}, {int64_t{rubrUsages}, int64_t{page}});
        for (int row = 0; row < rows.RecordCount(); ++row) {
            rows.MoveTo(row);
            classifierNames_.push_back({page, static_cast<uint16_t>(classifier.Kod.AsInteger()),
                                        QString::fromStdString(classifier.Name.AsString())});
        }
        rows.ClearKeyRange();
    }
}

QString TAxisNames::NameOf(uint16_t usagePage, uint16_t usage) const {
    for (const TEntry& entry : classifierNames_) {
        if (entry.usagePage == usagePage && entry.usage == usage)
            return entry.name;
    }
    return QString::fromStdString(StandardAxisName(usagePage, usage));
}

bool IsCentredAxis(const THidInputField& field) {
    constexpr uint16_t Rudder = 0xBA;
    constexpr uint16_t Steering = 0xC8;
    return field.isSigned ||
           (field.usagePage == SimulationControlsPage && (field.usage == Rudder || field.usage == Steering));
}

TLiveAxesPanel::TLiveAxesPanel(const TAxisNames& names, QWidget* parent)
    : QWidget(parent), names_(names), title_(new QLabel(QString::fromUtf8("Положение осей"), this)),
      grid_(new QGridLayout) {
    setObjectName("pnLiveAxes");
    // Opaque, so a refresh repaints these rows alone and not the side panel behind them.
    setAutoFillBackground(true);
    title_->setObjectName("lbLiveAxesTitle");
    title_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addStretch(1);
    layout->addWidget(title_);
    layout->addLayout(grid_);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(2);
    grid_->setColumnStretch(1, 1);
    setVisible(false);
}

bool TLiveAxesPanel::SameAxes(const TLiveAxes& axes) const {
    if (axes.Axes().size() != rows_.size())
        return false;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const THidInputField& shown = rows_[i].field;
        const THidInputField& given = axes.Axes()[i].field;
        if (shown.usagePage != given.usagePage || shown.usage != given.usage ||
            shown.reportId != given.reportId || shown.bitOffset != given.bitOffset)
            return false;
    }
    return true;
}

void TLiveAxesPanel::ClearRows() {
    for (TRow& row : rows_) {
        delete row.name;
        delete row.bar;
        delete row.value;
    }
    rows_.clear();
}

void TLiveAxesPanel::Rebuild(const TLiveAxes& axes) {
    ClearRows();
    for (const TLiveAxis& axis : axes.Axes()) {
        const int index = RowCount();
        const QString suffix = QString::number(index);
        TRow row{axis.field, new QLabel(names_.NameOf(axis.field.usagePage, axis.field.usage), this),
                 new TAxisPositionBar(this), new TValueText(QStringLiteral("-00000"), this)};
        row.name->setObjectName(QStringLiteral("lbLiveAxisName") + suffix);
        row.bar->setObjectName(QStringLiteral("pbLiveAxis") + suffix);
        row.bar->SetCentred(IsCentredAxis(axis.field));
        row.value->setObjectName(QStringLiteral("lbLiveAxisValue") + suffix);
        row.value->setText(NoValue);
        row.name->setFixedHeight(RowHeight);
        grid_->addWidget(row.name, index, 0);
        grid_->addWidget(row.bar, index, 1);
        grid_->addWidget(row.value, index, 2);
        rows_.push_back(row);
    }
}

void TLiveAxesPanel::Show(const TLiveAxes& axes) {
    if (!SameAxes(axes))
        Rebuild(axes);
    for (size_t i = 0; i < rows_.size(); ++i) {
        const TLiveAxis& axis = axes.Axes()[i];
        rows_[i].bar->SetPosition(axis.received ? std::optional<double>(axis.Position()) : std::nullopt);
        rows_[i].value->setText(axis.received ? QString::number(axis.value) : NoValue);
    }
    setVisible(!rows_.empty());
}

QString TLiveAxesPanel::RowName(int row) const {
    return rows_.at(static_cast<size_t>(row)).name->text();
}

QString TLiveAxesPanel::RowValue(int row) const {
    return rows_.at(static_cast<size_t>(row)).value->text();
}

TAxisPositionBar* TLiveAxesPanel::RowBar(int row) const {
    return rows_.at(static_cast<size_t>(row)).bar;
}

} // namespace qzr
