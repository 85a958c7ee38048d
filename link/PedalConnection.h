#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "hid/HidControllerClass.h"
#include "link/CommandChannel.h"
#include "link/ConnectionHints.h"
#include "link/ConnectionState.h"
#include "link/PedalIds.h"
#include "records/GlobalRecord.h"

namespace qzr {

enum class TStatusColour { None, Blue, Red };

// What the main window shows of the connection.
struct TConnectionView {
    std::string statusText;                   // "" before the first refresh
    TStatusColour statusColour = TStatusColour::None;
    bool generalInfoVisible = true;           // pnGeneralInfo
    bool controllerVisible = true;            // gbController
    bool axisButtonsVisible = true;           // btnAxis0, btnAxis1, btnAxis2
    std::string calibrCaption = "Калибровать";
    int calibrTag = 0;                        // 0 idle, 1 calibrating
    bool cancelCalibrEnabled = false;         // btnCancelCalibr
    std::string statusHint;                   // lbStatusHint: why not connected, what to do
};

// Ties the pedals' presence to the window's state and drives calibration, reboot and
// factory defaults. Toolkit-free: the main window binds View() to its controls.
class TPedalConnection {
public:
    TPedalConnection(THidDeviceController& HidCtl, TConnectionState& state,
                     TCommandChannel& channel, TGlobalRecord& global);
    ~TPedalConnection();   // detaches its handlers from HidCtl
    TPedalConnection(const TPedalConnection&) = delete;
    TPedalConnection& operator=(const TPedalConnection&) = delete;

    void HidCtlDeviceChange();
    bool HidCtlEnumerate(THidDevice& HidDev, int32_t Idx);
    void RefreshConnection();
    void BtnCalibrClick();
    void btnCancelCalibrClick();
    void BitBtn1Click();
    void BitBtn2Click();

    const TConnectionView& View() const { return view_; }
    THidDevice* Device() const { return device_; }
    std::function<void()> OnViewChanged;      // called after every change of View()
    // Whether the pedals' udev rule is installed; asked at every refresh without the pedals.
    std::function<bool()> UdevRuleInstalled = PedalsUdevRuleInstalled;

private:
    void SetCalibrating(bool calibrating);
    std::string StatusHint(bool connected) const;
    void Changed();

    THidDeviceController& HidCtl_;
    TConnectionState& state_;
    TCommandChannel& channel_;
    TGlobalRecord& global_;
    THidDevice* device_ = nullptr;
    TConnectionView view_;
};

} // namespace qzr
