#pragma once
#include <QWidget>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace qzr {

class TAxisRecords;
class TDataSource;
class TGlobalRecord;
class TNStructGrid;
class TRecordPanel;

// What the page calls back into the main window for.
struct TEngineeringHooks {
    // The shared flag check-box handler (wwCBDevConf_Click): the clicked box's data source,
    // its DataField and its ticked state after the click.
    std::function<void(TDataSource& source, const std::string& dataField, bool checked)> CheckBoxClick;
    // The main window's pick handlers; the editor has already made its edit request.
    std::function<void()> cdNStructConfUsage_HIDUsageCustomDlg;   // usage page, list 20
    std::function<void()> cdConfUsage_HIDUsagePageCustomDlg;      // usage, list 30
    std::function<void()> cdCentCalibFiltr_FilterCustomDlg;       // filter degree, list 50
    std::function<void()> cdDevConf_CalibrModeCustomDlg;          // calibration mode, list 10
};

// The page "Конфигуратор": the raw Global record in a record panel and every axis record as
// a row of a grid, each with buttons that read the structures and write them back.
class TEngineeringView : public QWidget {
    Q_OBJECT

public:
    TEngineeringView(TGlobalRecord& global, TAxisRecords& axes, TDataSource& dsGlobal,
                     TDataSource& dsNStruct, TEngineeringHooks hooks, QWidget* parent = nullptr);
    ~TEngineeringView() override;

    void btReadGlobalClick();
    void btWriteGlobalClick();
    void btReadAxis0Click();
    void btnWriteAxisClick();

private:
    QGroupBox* createGlobalGroup();
    QGroupBox* createNStructGroup();
    void fillGlobalPanel();
    void updateWriteAxisButton();

    TGlobalRecord& global_;
    TAxisRecords& axes_;
    TDataSource& dsGlobal_;
    TDataSource& dsNStruct_;
    TEngineeringHooks hooks_;

    QGroupBox* gbGlobal = nullptr;
    TRecordPanel* rvpGlobal = nullptr;
    QPushButton* btReadGlobal = nullptr;
    QPushButton* btWriteGlobal = nullptr;
    QGroupBox* gbNStruct = nullptr;
    TNStructGrid* gdNStruct = nullptr;
    QPushButton* btReadAxis0 = nullptr;
    QPushButton* btnWriteAxis = nullptr;
    QCheckBox* cbSaveAllAxes = nullptr;
};

} // namespace qzr
