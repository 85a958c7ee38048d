#pragma once
#include "link/CommandChannel.h"
#include "records/RecordSet.h"
#include "records/Rubr.h"

namespace qzr {

// The three NStruct structures (ids 16, 17, 18) in the record set cdsNStruct, one record per
// axis N (0 rudder, 1 left toe brake, 2 right toe brake), with the flags and codes taken out of
// the structure bytes and the derived values in units and percent.
class TAxisRecords {
public:
    explicit TAxisRecords(TCommandChannel& channel, TRubr* classifier = nullptr);

    void SetClassifier(TRubr* classifier) { classifier_ = classifier; }

    TRecordSet cdsNStruct;
    TField& N;
    TField& Len;
    TField& Type;
    TField& ConfUsage;
    TField& HID_Usage;
    TField& Precision;
    TField& Precision_Data;
    TField& Precision_Axis;
    TField& CentCalibFiltr;
    TField& AUX;
    TField& Zic;
    TField& DeadZoneLow;
    TField& DeadZoneHigh;
    TField& KD_High;
    TField& KdLow;
    TField& Bias;
    TField& ConfUsage_7;
    TField& ConfUsage_ON;
    TField& ConfUsage_Inverted;
    TField& ConfUsage_Centered;
    TField& ConfUsage_Revers;
    TField& ConfUsage_HIDUsagePage;
    TField& ConfUsage_HIDUsagePageCalc;
    TField& HID_UsageCalc;
    TField& CentCalibFiltr_MF;
    TField& CentCalibFiltr_DF;
    TField& CentCalibFiltr_Filter;
    TField& CentCalibFiltr_CenterOk;
    TField& AUX_AxisMap;
    TField& AUX_LedOn;
    TField& AUX_Centr;
    TField& ZicCalc;
    TField& DeadZoneLowCalc;
    TField& DeadZoneHighCalc;
    TField& Precision_AxisCalc;
    TField& ZicCalcPerc;
    TField& DeadZoneLowCalcPerc;
    TField& DeadZoneHighCalcPerc;

    void ReadAxis(uint8_t structureId);
    void WriteAxis(uint8_t axis);

    // Decodes bytes 1 to 16 into the current record of axis N (which must be editing).
    void Decode(uint8_t axis, const TReportBuffer& buffer);
    void Encode(TReportBuffer& buffer) const;

private:
    void cdsNStructConfUsage_HIDUsagePageChange(TField& Sender);
    void cdsNStructHID_UsageChange(TField& Sender);
    void cdsNStructPrecision_AxisChange(TField& Sender);
    void cdsNStructCentCalibFiltr_FilterChange(TField& Sender);
    void cdsNStructCentCalibFiltr_MFChange(TField& Sender);
    void ZoneChange(TField& zone, TField& percent, TField& units);

    TCommandChannel& channel_;
    TRubr* classifier_;
};

// Units of a zone given in tenths of a percent: resolution x zone / 1000, halves to even.
int64_t ZoneUnits(int32_t resolutionUnits, double percent);

} // namespace qzr
