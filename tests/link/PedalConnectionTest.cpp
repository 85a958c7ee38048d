#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hid/HidControllerClass.h"
#include "hid/sim/SimulatedPlatform.h"
#include "link/CommandChannel.h"
#include "link/ConnectionHints.h"
#include "link/PedalConnection.h"
#include "records/GlobalRecord.h"
#include "records/Rubr.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedChannel.h"

namespace qzr {
namespace {

using sim::TEmulatedPedals;
using sim::TSimulatedPlatform;
using Codes = std::vector<uint8_t>;
using Calibration = TEmulatedPedals::TCalibration;

const char* const FeatureReportsNotSupported = "Feature Report не поддерживаются";

// The main window's pedal link on virtual pedals: controller, channel, Global record and the
// connection, wired as the window wires them; the event loop is the test's poster.
class PedalConnectionTest : public ::testing::Test, protected test::TScriptedChannel {
protected:
    test::TManualPoster poster;
    TSimulatedPlatform platform{poster};
    TRubr rubr;
    TGlobalRecord global{channel, &rubr};
    std::unique_ptr<THidDeviceController> HidCtl;
    std::unique_ptr<TPedalConnection> connection;
    std::vector<std::string> captions;   // calibration caption at every view change

    void SetUp() override { rubr.FormCreate(); }

    void Create() {
        HidCtl = std::make_unique<THidDeviceController>(platform, poster);
        connection = std::make_unique<TPedalConnection>(*HidCtl, state, channel, global);
        connection->OnViewChanged = [this] {
            if (captions.empty() || captions.back() != View().calibrCaption)
                captions.push_back(View().calibrCaption);
        };
    }
    void Start() {
        Create();
        poster.RunPending();
    }
    const TConnectionView& View() const { return connection->View(); }
    bool HoldsPedals(const TEmulatedPedals& pedals) const {
        return connection->Device() &&
               connection->Device()->PnPInfo().DeviceInstance == platform.InstanceKeyOf(pedals);
    }
    int SerialNumberShown() const { return int(global.UID_SerN.AsInteger()); }
    void ExpectConnected(bool connected) const {
        EXPECT_EQ(View().statusText, connected ? "Подключены" : "Не подключены");
        EXPECT_EQ(View().statusColour, connected ? TStatusColour::Blue : TStatusColour::Red);
        EXPECT_EQ(View().generalInfoVisible, connected);
        EXPECT_EQ(View().controllerVisible, connected);
        EXPECT_EQ(View().axisButtonsVisible, connected);
        EXPECT_EQ(connection->Device() != nullptr, connected);
        EXPECT_EQ(state.device, static_cast<IFeatureDevice*>(connection->Device()));
    }
    void ExpectIdle() const {
        EXPECT_EQ(View().calibrTag, 0);
        EXPECT_EQ(View().calibrCaption, "Калибровать");
        EXPECT_FALSE(View().cancelCalibrEnabled);
    }
};

TEST_F(PedalConnectionTest, InitialLayoutUntilTheLoopRuns) {
    platform.PlugPedals();
    Create();
    EXPECT_EQ(View().statusText, "");
    EXPECT_EQ(View().statusColour, TStatusColour::None);
    EXPECT_TRUE(View().generalInfoVisible && View().controllerVisible && View().axisButtonsVisible);
    ExpectIdle();
    EXPECT_EQ(connection->Device(), nullptr);
}

TEST_F(PedalConnectionTest, StartWithPedalsReadsGlobal) {
    auto pedals = platform.PlugPedals(0x1234);
    platform.PlugKeyboard();
    Start();
    ExpectConnected(true);
    ExpectIdle();
    EXPECT_TRUE(HoldsPedals(*pedals));
    EXPECT_EQ(state.featureReportLength, 17);
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 1);
    EXPECT_EQ(SerialNumberShown(), 0x1234);
    EXPECT_EQ(global.DevConf_CalibrModeCalc.AsString(), "Авто");
    EXPECT_EQ(pedals->CommandCodes(), Codes{cmdSelectRead});
    EXPECT_EQ(pedals->ReceivedFrames()[0][3], stGlobal);
    EXPECT_EQ(pedals->ReadCount(), 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(poster.queue.empty() && poster.delayed.empty()) << "nothing may poll";
}

TEST_F(PedalConnectionTest, StartWithoutPedals) {
    struct Case { const char* name; int keyboards; };
    for (Case c : {Case{"no HID device", 0}, Case{"keyboard and mouse", 1}}) {
        SCOPED_TRACE(c.name);
        connection.reset();
        HidCtl.reset();
        if (c.keyboards) {
            platform.PlugKeyboard();
            platform.PlugMouse();
        }
        Start();
        ExpectConnected(false);
        EXPECT_EQ(global.cdsGlobal.RecordCount(), 0);
        EXPECT_EQ(HidCtl->CheckedOutCount(), HidCtl->Count()) << "every offered device is kept out";
    }
    EXPECT_EQ(platform.FeatureCallCount(), 0);
}

TEST_F(PedalConnectionTest, TwoPedalSetsTheLaterOneIsKept) {
    auto first = platform.PlugPedals(1);
    platform.PlugKeyboard();
    auto second = platform.PlugPedals(2);
    second->SetDeclaredFeatureLength(64);
    Start();
    EXPECT_TRUE(HoldsPedals(*second));
    EXPECT_EQ(state.featureReportLength, 64) << "the kept device's own length";
    EXPECT_EQ(SerialNumberShown(), 2);
    EXPECT_TRUE(first->Log().empty()) << "the other set is left alone";
    for (int32_t i = 0; i < HidCtl->Count(); ++i)
        EXPECT_TRUE(HidCtl->At(i).IsCheckedOut()) << i;
}

TEST_F(PedalConnectionTest, KeyboardIsOfferedAndNotKept) {
    auto pedals = platform.PlugPedals();
    Start();
    auto keyboard = platform.PlugKeyboard();
    poster.RunPending();
    ASSERT_EQ(HidCtl->Count(), 2);
    EXPECT_EQ(HidCtl->At(1).PnPInfo().DeviceInstance, platform.InstanceKeyOf(*keyboard));
    EXPECT_TRUE(HidCtl->At(1).IsCheckedOut());
    EXPECT_TRUE(HoldsPedals(*pedals));
    EXPECT_EQ(state.featureReportLength, 17);
    EXPECT_EQ(pedals->ReadCount(), 2) << "the refresh read Global again";
}

TEST_F(PedalConnectionTest, CalibrationStartThenFinish) {
    auto pedals = platform.PlugPedals();
    Start();
    pedals->ClearLog();
    captions.clear();

    connection->BtnCalibrClick();
    EXPECT_EQ(View().calibrTag, 1);
    EXPECT_TRUE(View().cancelCalibrEnabled);
    EXPECT_EQ(pedals->Calibration(), Calibration::Calibrating);
    connection->BtnCalibrClick();
    ExpectIdle();
    EXPECT_EQ(pedals->Calibration(), Calibration::Idle);
    EXPECT_EQ(pedals->CalibrationsFinished(), 1);

    EXPECT_EQ(pedals->CommandCodes(), (Codes{cmdCalibrStart, cmdCalibrFinish}));
    EXPECT_EQ(captions, (std::vector<std::string>{"Завершить калибровку", "Калибровать"}));
    EXPECT_EQ(pedals->ReceivedFrames()[0], (std::vector<uint8_t>{0, 0xA5, 5, 0, 0, 0, 0, 0, 0, 0,
                                                                0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PedalConnectionTest, CalibrationCancelled) {
    auto pedals = platform.PlugPedals();
    Start();
    pedals->ClearLog();
    connection->BtnCalibrClick();
    connection->btnCancelCalibrClick();
    ExpectIdle();
    EXPECT_EQ(pedals->CommandCodes(), (Codes{cmdCalibrStart, cmdCalibrCancel}));
    EXPECT_EQ(pedals->CalibrationsCancelled(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PedalConnectionTest, CalibrationSurvivesUnplugAndIsResetByTheReturn) {
    auto pedals = platform.PlugPedals();
    Start();
    connection->BtnCalibrClick();
    platform.Unplug(*pedals);
    poster.RunPending();
    ExpectConnected(false);
    EXPECT_EQ(View().calibrTag, 1) << "still calibrating while the pedals are gone";
    EXPECT_TRUE(View().cancelCalibrEnabled);

    pedals->ClearLog();
    platform.Plug(pedals);
    poster.RunPending();
    ExpectConnected(true);
    ExpectIdle();
    EXPECT_EQ(pedals->CommandCodes(), Codes{cmdSelectRead}) << "the return sends no calibration";
    EXPECT_EQ(HidCtl->Count(), 2) << "the old entry stays, gone";
}

TEST_F(PedalConnectionTest, UnrelatedChangeAfterARemovalResetsCalibration) {
    auto pedals = platform.PlugPedals();
    auto keyboard = platform.PlugKeyboard();
    Start();
    platform.Unplug(*keyboard);
    poster.RunPending();
    connection->BtnCalibrClick();
    pedals->ClearLog();

    platform.NotifyUnrelatedChange();
    poster.RunPending();
    ExpectIdle();
    EXPECT_EQ(pedals->CommandCodes(), Codes{cmdSelectRead});
    EXPECT_EQ(pedals->Calibration(), Calibration::Calibrating) << "the device was not told";
}

TEST_F(PedalConnectionTest, FactoryDefaultsOnlyOnYes) {
    struct Case { bool yes; Codes sent; int resets; };
    for (Case c : {Case{false, {}, 0}, Case{true, {cmdWriteDefaults}, 1}}) {
        SCOPED_TRACE(c.yes ? "Yes" : "No");
        connection.reset();
        HidCtl.reset();
        messages.questions.clear();
        auto pedals = platform.PlugPedals();
        Start();
        TEmulatedPedals::TStructure junk{};
        pedals->SetStructure(0, junk);
        pedals->ClearLog();
        messages.answerYes = c.yes;

        connection->BitBtn2Click();
        EXPECT_EQ(messages.questions, std::vector<std::string>{"Записать настройки по умолчанию?"});
        EXPECT_EQ(pedals->CommandCodes(), c.sent) << "no reboot, no refresh after the defaults";
        EXPECT_EQ(pedals->FactoryResets(), c.resets);
        EXPECT_EQ(pedals->ReadCount(), 0);
        EXPECT_TRUE(poster.queue.empty());
        platform.Unplug(*pedals);
    }
}

TEST_F(PedalConnectionTest, WithoutPedals) {
    platform.PlugKeyboard();
    struct Case {
        const char* name;
        void (TPedalConnection::*click)();
        std::vector<std::string> shown;
        int tagAfter;   // starting from calibrating
    };
    const Case cases[] = {
        {"calibration", &TPedalConnection::BtnCalibrClick, {MsgControllerNotFound}, 0},
        {"cancel", &TPedalConnection::btnCancelCalibrClick, {MsgControllerNotFound}, 1},
        {"factory defaults", &TPedalConnection::BitBtn2Click, {MsgControllerNotFound}, 1},
        {"reboot", &TPedalConnection::BitBtn1Click, {}, 1},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        while (View().calibrTag != 1) {
            connection->BtnCalibrClick();
        }
        messages.shown.clear();
        (connection.get()->*c.click)();
        EXPECT_EQ(messages.shown, c.shown);
        EXPECT_EQ(View().calibrTag, c.tagAfter);
    }
    EXPECT_TRUE(messages.questions.empty());
    EXPECT_EQ(platform.FeatureCallCount(), 0);
}

TEST_F(PedalConnectionTest, ServicesMissingKeepTheInitialLayout) {
    platform.servicesPresent = false;
    platform.PlugPedals();
    Start();
    EXPECT_EQ(View().statusText, "");
    EXPECT_TRUE(View().controllerVisible);
    connection->BtnCalibrClick();
    EXPECT_EQ(messages.shown, std::vector<std::string>{MsgControllerNotFound});
    EXPECT_EQ(View().calibrTag, 1) << "the button changes state all the same";
}

TEST_F(PedalConnectionTest, PedalsWithoutFeatureReports) {
    auto pedals = platform.PlugPedals();
    pedals->SetDeclaredFeatureLength(0);
    Start();
    ExpectConnected(true);
    EXPECT_EQ(state.featureReportLength, 0);
    EXPECT_EQ(messages.shown, std::vector<std::string>{FeatureReportsNotSupported}) << "once";
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 0);

    connection->BtnCalibrClick();
    connection->BitBtn1Click();
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_TRUE(pedals->Log().empty());
}

// Odd feature lengths: every transfer moves exactly that many bytes, also past 256.
TEST_F(PedalConnectionTest, OddFeatureLengths) {
    struct Case { int32_t length; int serial; Calibration afterClick; };
    const Case cases[] = {
        {2, 0, Calibration::Idle},   // frames arrive as 00 A5: the code is cut off
        {17, 0x04D2, Calibration::Calibrating},
        {300, 0x04D2, Calibration::Calibrating},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        connection.reset();
        HidCtl.reset();
        auto pedals = platform.PlugPedals();
        pedals->SetDeclaredFeatureLength(c.length);
        Start();
        EXPECT_EQ(state.featureReportLength, c.length);
        ExpectConnected(true);
        EXPECT_EQ(SerialNumberShown(), c.serial);
        connection->BtnCalibrClick();
        EXPECT_EQ(pedals->Calibration(), c.afterClick);
        for (const auto& entry : pedals->Log())
            EXPECT_EQ(entry.requested, c.length);
        EXPECT_TRUE(messages.shown.empty());
        platform.Unplug(*pedals);
        poster.RunPending();
    }
}

TEST_F(PedalConnectionTest, RebootIsAnsweredByAReplugThatRefreshesGlobal) {
    auto pedals = platform.PlugPedals(100);
    Start();
    ASSERT_EQ(SerialNumberShown(), 100);
    pedals->ClearLog();

    connection->BitBtn1Click();
    EXPECT_EQ(pedals->CommandCodes(), Codes{cmdReboot});
    auto global0 = pedals->Structure(0);
    global0[4] = 200;   // the controller comes back with another serial number
    pedals->SetStructure(0, global0);
    poster.RunPending();
    ExpectConnected(false);

    poster.Advance(platform.rebootDelayMs);
    ExpectConnected(true);
    EXPECT_TRUE(HoldsPedals(*pedals));
    EXPECT_EQ(SerialNumberShown(), 200);
    EXPECT_EQ(pedals->Reboots(), 1);
}

TEST_F(PedalConnectionTest, RebootWithPedalsSendsOneFrameAndAsksNothing) {
    auto pedals = platform.PlugPedals();
    Start();
    pedals->ClearLog();
    connection->BitBtn1Click();
    EXPECT_EQ(pedals->ReceivedFrames().size(), 1u);
    EXPECT_TRUE(messages.shown.empty() && messages.questions.empty());
}

// Faulty pedals are still the pedals: the refresh decodes whatever arrived, zeros elsewhere.
TEST_F(PedalConnectionTest, GlobalReadOfMisbehavingPedals) {
    using sim::TOpenRefusal;
    using sim::TTransferFault;
    struct Case {
        const char* name;
        TOpenRefusal refusal;
        TTransferFault getFault;
        bool vanish;
        int serial;   // what the record shows
        int len;
    };
    const Case cases[] = {
        {"healthy", TOpenRefusal::None, TTransferFault::None, false, 0x04D2, 16},
        {"short read", TOpenRefusal::None, TTransferFault::Short, false, 0, 16},
        {"failed read", TOpenRefusal::None, TTransferFault::Fail, false, 0, 0},
        {"query-only", TOpenRefusal::ReadWrite, TTransferFault::None, false, 0, 0},
        {"vanishes after the select", TOpenRefusal::None, TTransferFault::None, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection.reset();
        HidCtl.reset();
        auto pedals = platform.PlugPedals();
        pedals->openRefusal = c.refusal;
        pedals->getFault = c.getFault;
        pedals->vanishAfterSelect = c.vanish;
        Create();
        ASSERT_EQ(poster.queue.size(), 1u);
        auto startUp = std::move(poster.queue.front());
        poster.queue.pop_front();
        startUp();   // only the start-up announcement, not what the vanish posts
        EXPECT_EQ(View().statusText, "Подключены");
        ASSERT_EQ(global.cdsGlobal.RecordCount(), 1);
        EXPECT_EQ(SerialNumberShown(), c.serial);
        EXPECT_EQ(global.Len.AsInteger(), c.len);
        EXPECT_TRUE(messages.shown.empty());
        poster.RunPending();
        if (c.vanish)
            ExpectConnected(false);
        platform.Unplug(*pedals);
        poster.RunPending();
    }
}

TEST_F(PedalConnectionTest, NotificationDuringTheRefreshMessageIsLost) {
    auto pedals = platform.PlugPedals();
    pedals->SetDeclaredFeatureLength(0);
    std::string statusDuringMessage;
    messages.duringMessage = [&] {
        statusDuringMessage = View().statusText;
        platform.PlugKeyboard();
        poster.RunPending();   // the message box's own loop
    };
    Start();
    EXPECT_EQ(statusDuringMessage, "Подключены");
    EXPECT_EQ(HidCtl->Count(), 1) << "the keyboard's notification was dropped";
    messages.duringMessage = nullptr;
    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(HidCtl->Count(), 2);
}

TEST_F(PedalConnectionTest, ConnectionGoneBeforeTheControllerLeavesNoHandlers) {
    platform.PlugPedals();
    Create();
    connection.reset();
    poster.RunPending();   // the start-up announcement finds no connection to call
    EXPECT_EQ(HidCtl->Count(), 1);
    EXPECT_FALSE(HidCtl->OnEnumerate);
    EXPECT_FALSE(HidCtl->OnDeviceChange);
}

// Why the pedals are not connected: the hint that goes under the status, for each situation,
// with the status, the panels and the silence on the bus exactly as without any pedals.
TEST_F(PedalConnectionTest, HintTellsWhyThePedalsAreNotConnected) {
    const std::string rule = std::string("echo '") + PedalsUdevRule +
                             "' | sudo tee /etc/udev/rules.d/70-qzr-rudder-pedals.rules"
                             " && sudo udevadm control --reload";
    const std::string details = "\n\nПодробности покажет команда\nqzr-hidinfo";
    struct Case {
        const char* name;
        // The keyboard is plugged in first, at /sim/hidraw0.
        std::function<void(TSimulatedPlatform&, const sim::TEmulatedHid& keyboard)> stage;
        bool ruleInstalled;
        std::string hint;
    };
    auto refusingPedals = [](int error) {
        return [error](TSimulatedPlatform& bus, const sim::TEmulatedHid&) {
            auto pedals = std::make_shared<TEmulatedPedals>();
            pedals->openRefusal = sim::TOpenRefusal::All;
            pedals->refusalErrno = error;
            bus.Plug(pedals);
        };
    };
    const Case cases[] = {
        {"no access, no rule", refusingPedals(EACCES), false,
         "Педали подключены, но у вас нет прав на работу с ними (/sim/hidraw1). Чтобы дать права, "
         "выполните в терминале команду\n\n" + rule + "\n\nи переподключите педали." + details},
        {"no access, rule installed", refusingPedals(EACCES), true,
         "Педали подключены, но у вас пока нет прав на работу с ними (/sim/hidraw1). Правило udev "
         "для педалей установлено: отключите педали и подключите их снова." + details},
        {"busy", refusingPedals(EBUSY), false,
         "Педали подключены, но заняты другой программой (/sim/hidraw1). Закройте её и "
         "переподключите педали." + details},
        {"gone", refusingPedals(ENODEV), false,
         "Педали отключились, пока программа к ним обращалась (/sim/hidraw1). Подключите их "
         "снова." + details},
        {"unidentified",
         [](TSimulatedPlatform& bus, auto&) { bus.PlugPedals()->identifyFails = true; }, false,
         "Педали подключены, но открыть их не удалось (/sim/hidraw1: EIO). Переподключите "
         "педали." + details},
        {"no pedals", [](TSimulatedPlatform& bus, auto&) { bus.PlugMouse(); }, false,
         "Педали не найдены. Подключите их к USB-порту компьютера." + details},
        {"no HID interface at all",
         [](TSimulatedPlatform& bus, const sim::TEmulatedHid& keyboard) { bus.Unplug(keyboard); },
         false,
         "В системе нет ни одного HID-устройства (/dev/hidraw*). Подключите педали; если они "
         "подключены, загрузите драйвер hidraw командой\n\nsudo modprobe hidraw" + details},
        {"listing fails", [](TSimulatedPlatform& bus, auto&) { bus.enumerationFails = true; }, false,
         "Не удалось получить список HID-устройств от udev. Проверьте, что служба systemd-udevd "
         "запущена." + details},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection.reset();
        HidCtl.reset();
        TSimulatedPlatform bus{poster};
        c.stage(bus, *bus.PlugKeyboard());
        HidCtl = std::make_unique<THidDeviceController>(bus, poster);
        connection = std::make_unique<TPedalConnection>(*HidCtl, state, channel, global);
        EXPECT_EQ(View().statusHint, "") << "nothing to say before the first refresh";
        connection->UdevRuleInstalled = [&c] { return c.ruleInstalled; };
        poster.RunPending();
        ExpectConnected(false);
        EXPECT_EQ(View().statusHint, c.hint);
        EXPECT_EQ(bus.FeatureCallCount(), 0);
        EXPECT_TRUE(messages.shown.empty());
        connection.reset();
        HidCtl.reset();
    }
}

TEST_F(PedalConnectionTest, HintGoesOnceThePedalsAreUsable) {
    auto pedals = std::make_shared<TEmulatedPedals>();
    pedals->openRefusal = sim::TOpenRefusal::All;
    platform.Plug(pedals);
    Start();
    ExpectConnected(false);
    EXPECT_NE(View().statusHint, "");

    platform.Unplug(*pedals);
    pedals->openRefusal = sim::TOpenRefusal::None;
    platform.Plug(pedals);
    poster.RunPending();
    ExpectConnected(true);
    EXPECT_EQ(View().statusHint, "");
    EXPECT_EQ(pedals->CommandCodes(), Codes{cmdSelectRead});
}

// Plug and unplug no longer reach the program: it says so from the start, connected or not.
TEST_F(PedalConnectionTest, HintNotesThatPlugAndUnplugGoUnseen) {
    const std::string note = "Программа не замечает подключения и отключения педалей: "
                             "наблюдение udev не запустилось. Подключив или отключив педали, "
                             "перезапустите программу.";
    for (bool withPedals : {true, false}) {
        SCOPED_TRACE(withPedals ? "with pedals" : "without pedals");
        connection.reset();
        HidCtl.reset();
        TSimulatedPlatform bus{poster};
        bus.notificationError = "cannot open the udev netlink socket";
        std::shared_ptr<TEmulatedPedals> pedals;
        if (withPedals)
            pedals = bus.PlugPedals();
        else
            bus.PlugKeyboard();
        HidCtl = std::make_unique<THidDeviceController>(bus, poster);
        connection = std::make_unique<TPedalConnection>(*HidCtl, state, channel, global);
        EXPECT_EQ(View().statusHint, note) << "said before the first refresh";
        EXPECT_EQ(View().statusText, "");
        poster.RunPending();
        ExpectConnected(withPedals);
        EXPECT_EQ(View().statusHint,
                  withPedals ? note
                             : "Педали не найдены. Подключите их к USB-порту компьютера.\n\n"
                               "Подробности покажет команда\nqzr-hidinfo\n\n" + note);

        if (pedals)
            bus.Unplug(*pedals);
        else
            bus.PlugPedals();
        poster.RunPending();
        ExpectConnected(withPedals);   // unseen, as the note says
        connection.reset();
        HidCtl.reset();
    }
}

// The command in the hint writes the very rule that the package installs.
TEST(ConnectionHintsTest, RuleInTheCommandIsThePackagedRule) {
    std::ifstream file(QZR_PACKAGED_UDEV_RULE);
    ASSERT_TRUE(file) << QZR_PACKAGED_UDEV_RULE;
    std::vector<std::string> rules;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#')
            rules.push_back(line);
    EXPECT_EQ(rules, std::vector<std::string>{PedalsUdevRule});
    EXPECT_NE(std::string(QZR_PACKAGED_UDEV_RULE).find(PedalsUdevRuleFile), std::string::npos);
}

TEST(ConnectionHintsTest, ErrnoNames) {
    EXPECT_EQ(ErrnoName(EACCES), "EACCES");
    EXPECT_EQ(ErrnoName(EBUSY), "EBUSY");
    EXPECT_EQ(ErrnoName(100000), "errno 100000");
}

} // namespace
} // namespace qzr
