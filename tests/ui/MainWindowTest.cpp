// The main window on virtual pedals: start-up, the flag check boxes, saving Global,
// calibration and factory defaults, with the real message boxes answered by a script.
#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "ui/AxisConf.h"
#include "ui/UserAction.h"
#include "ui/controls/DataInspector.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DBText.h"
#include "ui/controls/PictureBox.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

constexpr size_t DevConfIndex = 15;   // byte 16 of the Global report
constexpr uint8_t MajorityFilterBit = 1 << 3;

bool Visible(const QWidget* w) { return w->isVisibleTo(w->window()); }

struct TEventCounter : QObject {
    TEventCounter(QEvent::Type type, int& count) : type_(type), count_(count) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) ++count_;
        return false;
    }
    QEvent::Type type_;
    int& count_;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }

    void windowsExistBeforeTheFirstRefresh() {
        TProgram program;
        program.window = CreateProgramWindows(program.platform);
        TfmQZR_Rdr_CP_Main& main = program.Main();
        // Nothing has been read yet: the announcement waits for the event loop.
        QVERIFY(main.lbStatus->text().isEmpty());
        QVERIFY(main.fmRubr && main.fmAxisConf);
        QCOMPARE(main.Global().cdsGlobal.RecordCount(), 0);
        QVERIFY(Visible(main.gbController));
        QVERIFY(!main.btnCancelCalibr->isEnabled());
        main.show();
        QTRY_COMPARE(main.lbStatus->text(), Ru("Подключены"));
        // The classifier was there for the first read: the mode has its name.
        QVERIFY(!main.cdDevConf_CalibrMode->text().startsWith(QStringLiteral("???")));
    }

    // What the first frame does not show is built after it, the classifier before it.
    void hiddenPartsAreBuiltAfterTheFirstFrame() {
        TProgram program;
        program.window = CreateProgramWindows(program.platform);
        TfmQZR_Rdr_CP_Main& main = program.Main();
        TfmAxisConf& dialog = *main.fmAxisConf;
        QVERIFY(!main.EngineeringView && !dialog.wwCheckBox1);
        QVERIFY(dialog.wwDataInspector1->EditorRows().isEmpty());
        QVERIFY(main.Global().cdsGlobal.RecordCount() == 0);

        int paints = 0;
        TEventCounter counter(QEvent::Paint, paints);
        main.installEventFilter(&counter);
        main.show();
        QTRY_VERIFY(main.EngineeringView && dialog.wwCheckBox1);
        QVERIFY2(paints > 0, "built only once the main window has painted");
        QVERIFY(main.EngineeringView->parent() == main.TabSheet2);
        QVERIFY(!main.EngineeringView->isEnabled());
        QTRY_COMPARE(main.lbStatus->text(), Ru("Подключены"));
        QVERIFY(!main.cdDevConf_CalibrMode->text().startsWith(QStringLiteral("???")));
    }

    // Built late, the engineering page still shows the record read before it existed.
    void engineeringPageBuiltOnDemandShowsTheCurrentRecord() {
        TProgram program;
        program.window = CreateProgramWindows(program.platform);
        TfmQZR_Rdr_CP_Main& main = program.Main();
        QTRY_COMPARE(main.Global().cdsGlobal.RecordCount(), 1);   // the announcement ran, unpainted
        QVERIFY(!main.EngineeringView);
        QWidget* view = main.Engineering();
        QVERIFY(view && view == main.EngineeringView && main.Engineering() == view);
        QStringList shown;
        for (const QLineEdit* edit : view->findChildren<QLineEdit*>()) shown << edit->text();
        QVERIFY2(shown.contains(QStringLiteral("1234")), "the serial number of the pedals");
    }

    void startUp_data() {
        QTest::addColumn<bool>("withPedals");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("controlsShown");
        QTest::addColumn<QString>("serialNumber");
        QTest::newRow("pedals") << true << Ru("Подключены") << QColor(0, 0, 255) << true << "1234";
        QTest::newRow("no pedals") << false << Ru("Не подключены") << QColor(255, 0, 0) << false << "";
    }

    void startUp() {
        QFETCH(bool, withPedals);
        QFETCH(QString, status);
        QFETCH(QColor, colour);
        QFETCH(bool, controlsShown);
        QFETCH(QString, serialNumber);
        TProgram program(withPedals);
        program.platform.PlugKeyboard();
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();

        QTRY_COMPARE(main.lbStatus->text(), status);
        QCOMPARE(main.lbStatus->palette().color(QPalette::WindowText), colour);
        for (QWidget* w : std::initializer_list<QWidget*>{main.gbController, main.pnGeneralInfo, main.btnAxis0,
                                                          main.btnAxis1, main.btnAxis2})
            QCOMPARE(Visible(w), controlsShown);
        QCOMPARE(main.DBText1->text(), serialNumber);
        QVERIFY(Visible(main.Image1) && Visible(main.Image2) && Visible(main.Label3));
        QCOMPARE(main.BtnCalibr->text(), Ru("Калибровать"));
        QVERIFY(!main.btnCancelCalibr->isEnabled());

        QCOMPARE(main.PageControl1->count(), 1);
        QCOMPARE(main.PageControl1->tabText(0), Ru("Педали"));
        QCOMPARE(main.PageControl1->currentWidget(), main.TabSheet1);
        QVERIFY(!main.TabSheet2->isEnabled());
        QCOMPARE(main.size(), QSize(1018, 674));
        QCOMPARE(QFontInfo(main.font()).pixelSize(), 11);
        if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
            QCOMPARE(QFontInfo(main.font()).family(), QStringLiteral("Tahoma"));
        if (program.pedals) QVERIFY(program.pedals->CommandCodes() == std::vector<uint8_t>{cmdSelectRead});
    }

    void majorityFilterClickSetsFlagAndBitWithoutSending() {
        TProgram program;
        auto global = program.pedals->FactoryStructure(stGlobal);
        global[DevConfIndex] &= uint8_t(~MajorityFilterBit);
        program.pedals->SetStructure(stGlobal, global);
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        TGlobalRecord& record = main.Global();
        const int64_t devConf = record.DevConf.AsInteger();
        QVERIFY(!main.wwCBDevConf_MF->isChecked());
        program.pedals->ClearLog();

        QTest::mouseClick(main.wwCBDevConf_MF, Qt::LeftButton);
        QVERIFY(main.wwCBDevConf_MF->isChecked());
        QVERIFY(record.DevConf_MF.AsBoolean());
        QCOMPARE(record.DevConf.AsInteger(), devConf | MajorityFilterBit);
        QCOMPARE(record.cdsGlobal.State(), TDataSetState::Edit);

        QTest::mouseClick(main.wwCBDevConf_MF, Qt::LeftButton);
        QVERIFY(!main.wwCBDevConf_MF->isChecked());
        QVERIFY(!record.DevConf_MF.AsBoolean());
        QCOMPARE(record.DevConf.AsInteger(), devConf);
        QCOMPARE(record.cdsGlobal.State(), TDataSetState::Edit);
        QVERIFY(program.pedals->Log().empty());
    }

    void saveDataSendsSelectWriteStructureAndLaterReboot() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        QTest::mouseClick(main.wwCBDevConf_DF, Qt::LeftButton);
        const auto devConf = static_cast<uint8_t>(main.Global().DevConf.AsInteger());
        program.pedals->ClearLog();

        // Half-way through the wait the reboot must not have been sent yet.
        std::vector<std::vector<uint8_t>> halfWay;
        QTimer::singleShot(500, [&] { halfWay = program.pedals->ReceivedFrames(); });
        QTest::mouseClick(main.btnSaveGlobal, Qt::LeftButton);

        QCOMPARE(halfWay.size(), size_t(2));
        const auto frames = program.pedals->ReceivedFrames();
        QCOMPARE(frames.size(), size_t(3));
        QVERIFY(IsCommand(frames[0], cmdSelectWrite, stGlobal));
        QCOMPARE(frames[1].at(DevConfIndex + 1), devConf);
        QVERIFY(IsCommand(frames[2], cmdReboot, 0));
    }

    // The second of a structure write shows the wait cursor; timers still fire meanwhile.
    void structureWriteShowsTheWaitCursorForItsWait() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        QVERIFY(!QApplication::overrideCursor());
        int shapeHalfWay = -1;
        QTimer::singleShot(500, [&] {
            shapeHalfWay = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
        });
        QTest::mouseClick(main.btnSaveGlobal, Qt::LeftButton);
        QCOMPARE(shapeHalfWay, int(Qt::WaitCursor));
        QVERIFY(!QApplication::overrideCursor());
    }

    void calibrationButtonStatesAndCancel() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        program.pedals->ClearLog();
        struct TStep {
            QPushButton* button;
            const char* caption;
            int tag;
            bool cancelEnabled;
            uint8_t command;
        };
        const TStep steps[] = {
            {main.BtnCalibr, "Завершить калибровку", 1, true, cmdCalibrStart},
            {main.BtnCalibr, "Калибровать", 0, false, cmdCalibrFinish},
            {main.BtnCalibr, "Завершить калибровку", 1, true, cmdCalibrStart},
            {main.btnCancelCalibr, "Калибровать", 0, false, cmdCalibrCancel},
        };
        std::vector<uint8_t> expectedCommands;
        for (const TStep& step : steps) {
            QTest::mouseClick(step.button, Qt::LeftButton);
            expectedCommands.push_back(step.command);
            QCOMPARE(main.BtnCalibr->text(), Ru(step.caption));
            QCOMPARE(main.BtnCalibr->property("tag").toInt(), step.tag);
            QCOMPARE(main.btnCancelCalibr->isEnabled(), step.cancelEnabled);
            QVERIFY(program.pedals->CommandCodes() == expectedCommands);
        }
    }

    void factoryDefaults_data() {
        QTest::addColumn<int>("answer");   // a button, or 0 for the Enter key
        QTest::addColumn<bool>("sent");
        QTest::newRow("No") << int(QMessageBox::No) << false;
        QTest::newRow("Enter") << 0 << false;
        QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    }

    void factoryDefaults() {
        QFETCH(int, answer);
        QFETCH(bool, sent);
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        program.pedals->ClearLog();
        TModalScript script;
        QString defaultButton;
        script.Then([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString::fromUtf8(AppTitle));
            defaultButton = box->defaultButton()->text().remove(u'&');
            if (answer) TModalScript::Click(QMessageBox::StandardButton(answer), script)(modal);
            else TModalScript::PressKey(Qt::Key_Return, script)(modal);
        });
        QTest::mouseClick(main.BitBtn2, Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        QCOMPARE(script.seenTexts, QStringList{Ru("Записать настройки по умолчанию?")});
        QCOMPARE(defaultButton, Ru("Нет"));   // Qt's own Russian translation is loaded
        const std::vector<uint8_t> expected = sent ? std::vector<uint8_t>{cmdWriteDefaults} : std::vector<uint8_t>{};
        QVERIFY(program.pedals->CommandCodes() == expected);
    }

    void commandWithoutPedalsShowsTheMessageBox() {
        TProgram program(false);
        program.Start();
        TModalScript script;
        script.Then(TModalScript::Click(QMessageBox::Ok, script));
        program.Main().btnCancelCalibrClick();
        QTRY_VERIFY(script.Done());
        QCOMPARE(script.seenTexts, QStringList{Ru("Контроллер не найден")});
        QCOMPARE(program.Main().BtnCalibr->property("tag").toInt(), 0);
    }

    void calibrationModePickCancelledKeepsModeAndEdit() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        const int64_t mode = main.Global().DevConf_CalibrMode.AsInteger();
        QCOMPARE(main.Global().cdsGlobal.State(), TDataSetState::Browse);
        TModalScript script;
        QStringList offered;
        script.Then([&](QWidget& pick) {
            offered = ListedNames(pick);
            static_cast<QDialog&>(pick).reject();
        });
        QTest::mouseClick(main.cdDevConf_CalibrMode->PickButton(), Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QCOMPARE(offered, (QStringList{Ru("Заводская"), Ru("Авто"), Ru("Ручная")}));
        QCOMPARE(main.Global().DevConf_CalibrMode.AsInteger(), mode);
        QCOMPARE(main.Global().cdsGlobal.State(), TDataSetState::Edit);
    }

    void calibrationModePickAssignsTheChosenCode() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        TModalScript script;
        script.Then([](QWidget& pick) { ChooseRow(pick, 2); });   // "Ручная", code 2
        QTest::mouseClick(main.cdDevConf_CalibrMode->PickButton(), Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QCOMPARE(main.Global().DevConf_CalibrMode.AsInteger(), 2);
        QCOMPARE(main.cdDevConf_CalibrMode->text(), Ru("Ручная"));
        QCOMPARE(main.Global().DevConf.AsInteger() & 0b110, 0b100);
    }

    // The mode's text box takes typing; closing the window abandons what was typed, so the next
    // refresh (which empties the set and so asks for pending edits) does not store it.
    void closingTheWindowDropsTheTypedMode() {
        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        const std::string modeName = main.Global().DevConf_CalibrModeCalc.AsString();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.cdDevConf_CalibrMode->setFocus();
        main.cdDevConf_CalibrMode->selectAll();
        QTest::keyClicks(main.cdDevConf_CalibrMode, "xyz");
        QVERIFY(main.cdDevConf_CalibrMode->HasPendingEdit());
        main.close();
        QVERIFY(!main.cdDevConf_CalibrMode->HasPendingEdit());
        main.Global().cdsGlobal.FinishPending();
        QCOMPARE(main.Global().DevConf_CalibrModeCalc.AsString(), modeName);
        main.show();
        QCOMPARE(main.cdDevConf_CalibrMode->text(), QString::fromStdString(modeName));
    }

private:
    static QStringList ListedNames(QWidget& pick) {
        auto* grid = pick.findChild<QAbstractItemView*>("gdRubr");
        QStringList names;
        for (int row = 0; grid && row < grid->model()->rowCount(); ++row)
            names << grid->model()->index(row, 0).data().toString();
        return names;
    }
    static void ChooseRow(QWidget& pick, int row) {
        auto* grid = pick.findChild<QAbstractItemView*>("gdRubr");
        grid->setCurrentIndex(grid->model()->index(row, 0));
        pick.findChild<QPushButton*>("btnOk")->click();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
