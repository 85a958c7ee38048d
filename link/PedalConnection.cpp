#include "link/PedalConnection.h"

namespace qzr {

namespace {

const char* const TextConnected = "Подключены";
const char* const TextNotConnected = "Не подключены";
const char* const CaptionCalibrate = "Калибровать";
const char* const CaptionFinishCalibration = "Завершить калибровку";
const char* const QuestionWriteDefaults = "Записать настройки по умолчанию?";

bool IsPedals(const THidDevice& device) {
    return device.VendorID() == PedalsVendorID && device.ProductID() == PedalsProductID;
}

} // namespace

TPedalConnection::TPedalConnection(THidDeviceController& HidCtl, TConnectionState& state,
                                   TCommandChannel& channel, TGlobalRecord& global)
    : HidCtl_(HidCtl), state_(state), channel_(channel), global_(global) {
    HidCtl_.OnEnumerate = [this](THidDevice& HidDev, int32_t Idx) { return HidCtlEnumerate(HidDev, Idx); };
    HidCtl_.OnDeviceChange = [this](THidDeviceController&) { HidCtlDeviceChange(); };
    view_.statusHint = StatusHint(true);
}

TPedalConnection::~TPedalConnection() {
    HidCtl_.OnEnumerate = nullptr;
    HidCtl_.OnDeviceChange = nullptr;
}

void TPedalConnection::HidCtlDeviceChange() {
    device_ = nullptr;
    state_.device = nullptr;
    HidCtl_.OfferDevices();
    RefreshConnection();
}

bool TPedalConnection::HidCtlEnumerate(THidDevice& HidDev, int32_t Idx) {
    // Every offered device stays checked out; one already out from an earlier offer stays so.
    THidDevice* checkedOut = nullptr;
    HidCtl_.CheckOutAt(Idx, checkedOut);
    if (IsPedals(HidDev)) {
        device_ = &HidDev;
        state_.device = &HidDev;
        THidCaps caps;
        HidDev.QueryCaps(caps);
        state_.featureReportLength = caps.FeatureReportByteLength;
    }
    return true;
}

void TPedalConnection::RefreshConnection() {
    global_.cdsGlobal.EmptySet();
    const bool connected = device_ != nullptr;
    if (connected) {
        view_.statusText = TextConnected;
        view_.statusColour = TStatusColour::Blue;
        view_.generalInfoVisible = true;
        // Shown before the read, so a message box that the read raises sits over the new state.
        Changed();
        global_.ReadGlobal();
        view_.controllerVisible = true;
        SetCalibrating(false);
    } else {
        view_.statusText = TextNotConnected;
        view_.statusColour = TStatusColour::Red;
        view_.generalInfoVisible = false;
        view_.controllerVisible = false;
    }
    view_.axisButtonsVisible = connected;
    view_.statusHint = StatusHint(connected);
    Changed();
}

// Without the pedals: why, and what to do. Either way: a word when plug and unplug go unseen.
std::string TPedalConnection::StatusHint(bool connected) const {
    std::string hint;
    if (!connected) {
        const TDeviceDiagnosis diagnosis =
            DiagnoseDevice(HidCtl_.LastListing(), PedalsVendorID, PedalsProductID);
        hint = ExplainPedalsAbsence(diagnosis, UdevRuleInstalled && UdevRuleInstalled());
        if (!hint.empty())
            hint += "\n\n" + HidinfoNote();
    }
    if (!HidCtl_.NotificationError().empty())
        hint += (hint.empty() ? "" : "\n\n") + NotificationDownNote();
    return hint;
}

void TPedalConnection::BtnCalibrClick() {
    const bool starting = view_.calibrTag == 0;
    SetCalibrating(starting);
    if (state_.device)
        channel_.SendCommand(starting ? cmdCalibrStart : cmdCalibrFinish, 0);
    else
        channel_.Messages().ShowMessage(MsgControllerNotFound);
}

void TPedalConnection::btnCancelCalibrClick() {
    if (!state_.device) {
        channel_.Messages().ShowMessage(MsgControllerNotFound);
        return;
    }
    channel_.SendCommand(cmdCalibrCancel, 0);
    SetCalibrating(false);
}

void TPedalConnection::BitBtn1Click() {
    channel_.SendCommand(cmdReboot, 0);
}

void TPedalConnection::BitBtn2Click() {
    if (!state_.device) {
        channel_.Messages().ShowMessage(MsgControllerNotFound);
        return;
    }
    if (channel_.Messages().Confirm(QuestionWriteDefaults))
        channel_.SendCommand(cmdWriteDefaults, 0);
}

void TPedalConnection::SetCalibrating(bool calibrating) {
    view_.calibrTag = calibrating ? 1 : 0;
    view_.calibrCaption = calibrating ? CaptionFinishCalibration : CaptionCalibrate;
    view_.cancelCalibrEnabled = calibrating;
    Changed();
}

void TPedalConnection::Changed() {
    if (OnViewChanged)
        OnViewChanged();
}

} // namespace qzr
