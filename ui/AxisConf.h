#pragma once
#include <QDialog>
#include <cstdint>

class QPushButton;
class QTreeWidgetItem;
class QWidget;

namespace qzr {

class TAxisLivePosition;
class TAxisRecords;
class TLiveInput;
class TDataInspector;
class TDataSource;
class TDBCheckBox;
class TDBEdit;
class TDBPickEdit;
class TRubr;

// The axis configuration dialog "Конфигуратор": the current axis record of cdsNStruct in an
// inspector, with the captions of the axis it was opened for, and "Сохранить" that writes it.
class TfmAxisConf : public QDialog {
public:
    TfmAxisConf(TAxisRecords& axes, TDataSource& dsNStruct, TRubr& rubr, QWidget* parent = nullptr);

    // Reads axis N (0 rudder, 1 left toe brake, 2 right toe brake), sets its captions and
    // shows the dialog modally; returns when it has closed.
    void ShowForAxis(uint8_t N);
    // Builds the inspector's rows and editors; done by the first opening if nobody did it
    // earlier, since the first frame of the program does not need them.
    void BuildRows();
    uint8_t Axis() const { return N_; }
    // The pedals' input reports, for the live position of the axis.
    void AttachLiveInput(TLiveInput* live);

    void btnSaveClick();
    void cdNStructConfUsage_HIDUsageCustomDlg(TDBPickEdit& Sender);
    void cdConfUsage_HIDUsagePageCustomDlg(TDBPickEdit& Sender);
    void cdCentCalibFiltr_FilterCustomDlg(TDBPickEdit& Sender);

    // The editors and rows below exist once BuildRows has run.
    TDataInspector* wwDataInspector1;
    QWidget* Panel1;
    QPushButton* btnSave;
    TDBCheckBox* wwCheckBox1 = nullptr;
    TDBCheckBox* wwCheckBox2 = nullptr;
    TDBCheckBox* wwCheckBox3 = nullptr;
    TDBCheckBox* wwCheckBox4 = nullptr;
    TDBCheckBox* wwCheckBox5 = nullptr;
    TDBCheckBox* wwCheckBox6 = nullptr;
    TDBCheckBox* wwCheckBox7 = nullptr;
    TDBPickEdit* cdNStructConfUsage_HIDUsage = nullptr;
    TDBPickEdit* cdConfUsage_HIDUsagePage = nullptr;
    TDBPickEdit* cdCentCalibFiltr_Filter = nullptr;
    TAxisLivePosition* pnLivePosition = nullptr;

    // The rows whose captions each opening sets for its axis.
    QTreeWidgetItem* rowPrecisionAxis = nullptr;
    QTreeWidgetItem* rowDeadZoneLow = nullptr;
    QTreeWidgetItem* rowDeadZoneHigh = nullptr;

private:
    void BuildInspector();
    TDBCheckBox* AddCheckBox(const char* name, const char* caption, const char* field,
                             QTreeWidgetItem* group = nullptr);
    TDBPickEdit* AddPickEdit(const char* name, const char* caption, const char* field);
    QTreeWidgetItem* AddText(const char* caption, const char* field, bool readOnly,
                             QTreeWidgetItem* group = nullptr);
    void SetAxisCaptions(const char* precision, const char* deadZoneLow, const char* deadZoneHigh);
    void AssignPick(int32_t type, int32_t attr, class TField& target);

    TAxisRecords& axes_;
    TDataSource& dsNStruct_;
    TRubr& rubr_;
    uint8_t N_ = 0;
    QTreeWidgetItem* group_ = nullptr;   // the group rows are added to while building
    bool rowsBuilt_ = false;
};

} // namespace qzr
