#include "ui/AxisLivePosition.h"

#include <QHBoxLayout>
#include <QLabel>

#include "records/AxisRecords.h"
#include "ui/LiveInput.h"

namespace qzr {

namespace {

const QString NoValue = QStringLiteral("\u2014");

} // namespace

std::vector<TAxisPositionBar::TZone> DeadZoneStretches(bool rudder, double lowPercent,
                                                       double highPercent) {
    const double low = lowPercent / 100.0;
    const double high = highPercent / 100.0;
    std::vector<TAxisPositionBar::TZone> zones;
    if (rudder) {
        if (low > 0) zones.push_back({0.5 - low / 2, 0.5 + low / 2});
        if (high > 0) {
            zones.push_back({0.0, high});
            zones.push_back({1.0 - high, 1.0});
        }
    } else {
        if (low > 0) zones.push_back({0.0, low});
        if (high > 0) zones.push_back({1.0 - high, 1.0});
    }
    return zones;
}

TAxisLivePosition::TAxisLivePosition(TAxisRecords& axes, TDataSource& dsNStruct, QWidget* parent)
    : QWidget(parent), axes_(axes), dsNStruct_(dsNStruct), bar_(new TAxisPositionBar(this)),
      value_(new TValueText(QStringLiteral("-000000"), this)) {
    setObjectName("pnLivePosition");
    auto* caption = new QLabel(QString::fromUtf8("Положение"), this);
    caption->setObjectName("lbLivePosition");
    bar_->setObjectName("pbLivePosition");
    bar_->setFixedHeight(16);
    value_->setObjectName("lbLivePositionValue");
    value_->setText(NoValue);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 13, 2);
    row->addWidget(caption);
    row->addWidget(bar_, 1);
    row->addWidget(value_);
    dsNStruct_.AddLink(this);
}

TAxisLivePosition::~TAxisLivePosition() {
    dsNStruct_.RemoveLink(this);
}

void TAxisLivePosition::SetLiveInput(TLiveInput* live) {
    if (live_) disconnect(live_, nullptr, this, nullptr);
    live_ = live;
    if (live_) connect(live_, &TLiveInput::refreshed, this, [this] { ShowPosition(); });
    ShowPosition();
}

void TAxisLivePosition::SetAxis(uint8_t N) {
    N_ = N;
    bar_->SetCentred(N_ == 0);
    ShowZones();
    ShowPosition();
}

void TAxisLivePosition::DataEvent(TDataEvent, TField*) {
    ShowZones();
    ShowPosition();
}

void TAxisLivePosition::ShowZones() {
    if (!axes_.cdsNStruct.HasCurrent()) {
        bar_->SetZones({});
        return;
    }
    bar_->SetZones(DeadZoneStretches(N_ == 0, axes_.DeadZoneLowCalcPerc.AsFloat(),
                                     axes_.DeadZoneHighCalcPerc.AsFloat()));
}

void TAxisLivePosition::ShowPosition() {
    const TLiveAxis* axis = nullptr;
    if (live_ && axes_.cdsNStruct.HasCurrent())
        axis = live_->Axes().Find(static_cast<uint16_t>(axes_.ConfUsage_HIDUsagePage.AsInteger()),
                                  static_cast<uint16_t>(axes_.HID_Usage.AsInteger()));
    const bool known = axis != nullptr && axis->received;
    bar_->SetPosition(known ? std::optional<double>(axis->Position()) : std::nullopt);
    value_->setText(known ? QString::number(axis->value) : NoValue);
}

} // namespace qzr
