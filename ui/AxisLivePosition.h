#pragma once
// The axis dialog's live view: where the pedals' axis whose usage page and usage match the
// current axis record stands now, on a bar with the record's dead zones shaded. Follows the
// pedals' reports and every change of the record (usage, dead zones) at once.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "records/RecordSet.h"
#include "ui/LiveInput.h"
#include "ui/controls/AxisPositionBar.h"
#include "ui/controls/ValueText.h"

class QLabel;

namespace qzr {

class TAxisRecords;
class TLiveInput;   // a QObject; see ui/LiveInput.h

// The dead zones on the travel, as fractions: for the rudder `low` percent of the travel round
// the centre and `high` percent at each extreme; for a toe brake `low` percent at the start of
// its travel and `high` percent at the end.
std::vector<TAxisPositionBar::TZone> DeadZoneStretches(bool rudder, double lowPercent,
                                                       double highPercent);

class TAxisLivePosition : public QWidget, private TDataLink {
public:
    TAxisLivePosition(TAxisRecords& axes, TDataSource& dsNStruct, QWidget* parent = nullptr);
    ~TAxisLivePosition() override;

    void SetLiveInput(TLiveInput* live);
    // 0 the rudder, 1 and 2 the toe brakes: where the dead zones lie.
    void SetAxis(uint8_t N);

    TAxisPositionBar* Bar() const { return bar_; }
    TValueText* ValueLabel() const { return value_; }

private:
    void DataEvent(TDataEvent kind, TField* field) override;
    void ShowZones();
    void ShowPosition();

    TAxisRecords& axes_;
    TDataSource& dsNStruct_;
    QPointer<TLiveInput> live_;   // the main window's, which may go first at the end
    uint8_t N_ = 0;
    TAxisPositionBar* bar_;
    TValueText* value_;
};

} // namespace qzr
