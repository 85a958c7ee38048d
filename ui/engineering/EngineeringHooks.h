#pragma once
#include <functional>
#include <string>

namespace qzr {

class TDataSource;

// What the engineering page calls back into the main window for.
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

} // namespace qzr
