#pragma once
#include <QWidget>
#include <cstdint>

#include "hid/HidControllerClass.h"
#include "link/CommandChannel.h"
#include "link/ConnectionState.h"
#include "link/PedalConnection.h"
#include "records/AxisRecords.h"
#include "records/GlobalRecord.h"
#include "ui/LiveAxesPanel.h"
#include "ui/MessageBoxes.h"
#include "ui/QtServices.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace qzr {

class TDBCheckBox;
class TDBPickEdit;
class TDBText;
class TfmAxisConf;
class TfmRubr;
class TLiveInput;
class TPictureBox;
class TRecordViewPanel;

// What the main window owns besides its widgets: the HID controller, the connection, the
// command channel and the record sets. Built before the widgets and destroyed after them,
// so no bound control outlives its data source.
struct TMainWindowCore {
    explicit TMainWindowCore(IHidPlatform& platform);

    IHidPlatform& platform;
    TQtEventPoster poster;
    TMessageBoxes messages;
    TQtMessagePump pump;
    TSteadyTickCounter ticks;
    TQtBusyCursor busyCursor;
    TConnectionState connectionState;
    TCommandChannel channel{connectionState, messages, ticks, pump, &busyCursor};
    TGlobalRecord global{channel};
    TDataSource dsGlobal{&global.cdsGlobal, "dsGlobal"};
    TAxisRecords axes{channel};
    TDataSource dsNStruct{&axes.cdsNStruct, "dsNStruct"};
    THidDeviceController HidCtl{platform, poster};
    TPedalConnection connection{HidCtl, connectionState, channel, global};
};

// The main window "QZR Rudder Control Panel V1.0".
class TfmQZR_Rdr_CP_Main : private TMainWindowCore, public QWidget {
public:
    explicit TfmQZR_Rdr_CP_Main(IHidPlatform& platform, QWidget* parent = nullptr);
    ~TfmQZR_Rdr_CP_Main() override;

    // The dialogs created after the main window at start-up.
    void SetClassifier(TfmRubr* rubr);
    void SetAxisDialog(TfmAxisConf* axisConf);

    THidDeviceController& Controller() { return HidCtl; }
    TPedalConnection& Connection() { return connection; }
    TConnectionState& State() { return connectionState; }
    TGlobalRecord& Global() { return global; }
    TAxisRecords& Axes() { return axes; }
    TDataSource& GlobalSource() { return dsGlobal; }
    TDataSource& AxisSource() { return dsNStruct; }
    TLiveInput& LiveInput() { return *liveInput_; }

    // Handlers.
    void FormCreate();
    void btnAxis0Click();
    void btnAxis1Click();
    void btnAxis2Click();
    void btnSaveGlobalClick();
    void BtnCalibrClick();
    void btnCancelCalibrClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void wwCBDevConf_Click(TDBCheckBox& Sender);
    void cdDevConf_CalibrModeCustomDlg(TDBPickEdit& Sender);
    void cdNStructConfUsage_HIDUsageCustomDlg();
    void cdConfUsage_HIDUsagePageCustomDlg();
    void cdCentCalibFiltr_FilterCustomDlg();

    // Controls.
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    TPictureBox* Image1;
    TDBText* DBText1;
    QPushButton* btnAxis0;
    QPushButton* btnAxis1;
    QPushButton* btnAxis2;
    QGroupBox* gbController;
    TRecordViewPanel* wwRecordViewPanel1;
    TDBCheckBox* wwCBDevConf_MF;
    TDBCheckBox* wwCBDevConf_DF;
    TDBCheckBox* wwCBDevConf_AxesAuto;
    TDBPickEdit* cdDevConf_CalibrMode;
    QPushButton* btnSaveGlobal;
    QPushButton* BtnCalibr;
    QPushButton* btnCancelCalibr;
    QWidget* Panel1;
    QWidget* Panel4;
    TPictureBox* Image2;
    QLabel* Label3;
    QLabel* lbStatus;
    QLabel* lbStatusHint;   // why the pedals are not connected; selectable, to copy a command
    QWidget* pnGeneralInfo;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    TLiveAxesPanel* pnLiveAxes = nullptr;   // in pnGeneralInfo, above BitBtn1
    QWidget* EngineeringView = nullptr;   // the content of TabSheet2, once built

    // The hidden engineering page is built when first asked for, or after the first frame.
    QWidget* Engineering();

    TfmRubr* fmRubr = nullptr;
    TfmAxisConf* fmAxisConf = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void CreateLiveAxes();
    void CreatePedalPage();
    void CreateControllerGroup();
    void CreateSidePanel();
    void CreateEngineeringPage();
    void BuildEngineeringView();
    void SetTabOrder();
    void WireHandlers();
    void ShowConnectionView();
    void CreateStatusHint();
    void ShowStatusHint(const std::string& hint);
    void ShowAxis(uint8_t N);
    void AssignCheckBoxState(TDataSource& source, const std::string& dataField, bool checked);
    void AssignPick(int32_t type, int32_t attr, TField& target);
    TDBCheckBox* CreateFlagBox(const char* name, const char* field);

    TQtNotificationWatcher* notificationWatcher_ = nullptr;
    TLiveInput* liveInput_ = nullptr;
    TAxisNames axisNames_;
};

} // namespace qzr
