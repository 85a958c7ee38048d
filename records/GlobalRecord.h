#pragma once
#include "link/CommandChannel.h"
#include "records/RecordSet.h"
#include "records/Rubr.h"

namespace qzr {

// The device-wide Global structure (id 0) in the record set cdsGlobal: identity words, and
// DevConf split into flags and the calibration mode, kept in step by the change handlers.
class TGlobalRecord {
public:
    explicit TGlobalRecord(TCommandChannel& channel, TRubr* classifier = nullptr);

    void SetClassifier(TRubr* classifier) { classifier_ = classifier; }

    TRecordSet cdsGlobal;
    TField& CRC;
    TField& Len;
    TField& DevID;
    TField& UID_SerN;
    TField& UID_3;
    TField& UID_5;
    TField& UID_7;
    TField& NStruct;
    TField& Power;
    TField& AUX;
    TField& DevConf;
    TField& DevConf_7;
    TField& DevConf_6;
    TField& DevConf_5;
    TField& DevConf_DF;
    TField& DevConf_MF;
    TField& DevConf_CalibrMode;
    TField& DevConf_AxesAuto;
    TField& DevConf_CalibrModeCalc;

    void ReadGlobal();
    void WriteGlobal();

    // The decoder and encoder of the structure, bytes 1 to 16 of a report buffer.
    void Decode(const TReportBuffer& buffer);
    void Encode(TReportBuffer& buffer) const;

private:
    void cdsGlobalDevConf_CalibrModeChange(TField& Sender);

    TCommandChannel& channel_;
    TRubr* classifier_;
};

} // namespace qzr
