// The axis dialog opened from the main window on virtual pedals: captions per axis, the
// usage-page and usage picks, saving to the axis it was opened for, refused entries.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QtTest>

#include "ui/AxisConf.h"
#include "ui/UserAction.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DataInspector.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

constexpr size_t DeadZoneLowIndex = 8;   // byte 9 of the axis report

QStringList ListedNames(QWidget& pick) {
    auto* grid = pick.findChild<QAbstractItemView*>("gdRubr");
    QStringList names;
    for (int row = 0; grid && row < grid->model()->rowCount(); ++row)
        names << grid->model()->index(row, 0).data().toString();
    return names;
}

void Choose(QWidget& pick, const QString& name) {
    auto* grid = pick.findChild<QAbstractItemView*>("gdRubr");
    const int row = int(ListedNames(pick).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    grid->setCurrentIndex(grid->model()->index(row, 0));
    pick.findChild<QPushButton*>("btnOk")->click();
}

QStringList AxisCaptions(TfmAxisConf& dialog) {
    return {dialog.rowPrecisionAxis->text(0), dialog.rowDeadZoneLow->text(0), dialog.rowDeadZoneHigh->text(0)};
}

} // namespace

class AxisConfTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }

    void init() {
        program = std::make_unique<TProgram>();
        program->Start();
        QTRY_COMPARE(program->Main().lbStatus->text(), Ru("Подключены"));
    }
    void cleanup() { program.reset(); }

    void captionsFollowTheAxis() {
        const QStringList rudder{Ru("Разрядность (бит) 8-12"), Ru("Центральная (х0,1%) 0-255"), Ru("Крайние (х0,1%) 0-255")};
        const QStringList brake{Ru("Разрядность (бит) 8-10"), Ru("Начальная (х0,1%) 0-255"), Ru("Конечная (х0,1%) 0-255")};
        struct TOpening {
            QPushButton* button;
            const QStringList* captions;
            int64_t N;
        };
        TfmQZR_Rdr_CP_Main& main = program->Main();
        const TOpening openings[] = {{main.btnAxis0, &rudder, 0}, {main.btnAxis1, &brake, 1},
                                     {main.btnAxis0, &rudder, 0}, {main.btnAxis2, &brake, 2}};
        for (const TOpening& opening : openings) {
            QStringList shown;
            int64_t shownN = -1;
            TModalScript script;
            script.Then([&](QWidget& dialog) {
                shown = AxisCaptions(*main.fmAxisConf);
                shownN = main.Axes().N.AsInteger();
                static_cast<QDialog&>(dialog).reject();
            });
            QTest::mouseClick(opening.button, Qt::LeftButton);
            QTRY_VERIFY(script.Done());
            QCOMPARE(shown, *opening.captions);
            QCOMPARE(shownN, opening.N);
        }
        QCOMPARE(main.Axes().cdsNStruct.RecordCount(), 3);   // each axis read once appends
        QVERIFY(program->pedals->ReceivedFrames().size() >= 4);
    }

    void usagePageChoiceDecidesTheUsagesOffered_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("usages");
        QTest::newRow("Generic Desktop") << "Generic Desktop"
                                         << QStringList{"X", "Y", "Z", "Rx", "Ry", "Rz", "Slider", "Dial"};
        QTest::newRow("Simulation Controls") << "Simulation Controls" << QStringList{"Wheel", "Rudder", "Throttle"};
    }

    void usagePageChoiceDecidesTheUsagesOffered() {
        QFETCH(QString, page);
        QFETCH(QStringList, usages);
        TfmAxisConf& dialog = *program->Main().fmAxisConf;
        TAxisRecords& axes = program->Main().Axes();
        QStringList pagesOffered, usagesOffered;
        QString pageShown;
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            QTest::mouseClick(dialog.cdNStructConfUsage_HIDUsage->PickButton(), Qt::LeftButton);
            pageShown = dialog.cdNStructConfUsage_HIDUsage->text();
            QTest::mouseClick(dialog.cdConfUsage_HIDUsagePage->PickButton(), Qt::LeftButton);
            static_cast<QDialog&>(axisDialog).reject();
        });
        script.Then([&](QWidget& pick) {
            pagesOffered = ListedNames(pick);
            Choose(pick, page);
        });
        script.Then([&](QWidget& pick) {
            usagesOffered = ListedNames(pick);
            static_cast<QDialog&>(pick).reject();
        });
        QTest::mouseClick(program->Main().btnAxis1, Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        QCOMPARE(pagesOffered, (QStringList{"Generic Desktop", "Simulation Controls"}));
        QCOMPARE(pageShown, page);
        QCOMPARE(usagesOffered, usages);
        QCOMPARE(axes.ConfUsage_HIDUsagePageCalc.AsString(), page.toStdString());
        QCOMPARE(axes.ConfUsage.AsInteger() & 0b111, pagesOffered.indexOf(page) + 1);
        QCOMPARE(axes.cdsNStruct.State(), TDataSetState::Edit);
    }

    void cancelledPickChangesNothing() {
        TfmAxisConf& dialog = *program->Main().fmAxisConf;
        TAxisRecords& axes = program->Main().Axes();
        int64_t filterBefore = -1, filterAfter = -1;
        TDataSetState stateBefore{}, stateAfter{};
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            filterBefore = axes.CentCalibFiltr_Filter.AsInteger();
            stateBefore = axes.cdsNStruct.State();
            QTest::mouseClick(dialog.cdCentCalibFiltr_Filter->PickButton(), Qt::LeftButton);
            filterAfter = axes.CentCalibFiltr_Filter.AsInteger();
            stateAfter = axes.cdsNStruct.State();
            static_cast<QDialog&>(axisDialog).reject();
        });
        script.Then([](QWidget& pick) { pick.close(); });   // the close box counts as cancel
        QTest::mouseClick(program->Main().btnAxis0, Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QCOMPARE(filterAfter, filterBefore);
        QCOMPARE(stateAfter, stateBefore);
    }

    void saveWritesTheAxisTheDialogWasOpenedFor_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<int>("structureId");
        QTest::newRow("rudder") << 0 << int(stAxisRudder);
        QTest::newRow("left toe brake") << 1 << int(stAxisLeftBrake);
        QTest::newRow("right toe brake") << 2 << int(stAxisRightBrake);
    }

    void saveWritesTheAxisTheDialogWasOpenedFor() {
        QFETCH(int, axis);
        QFETCH(int, structureId);
        TfmQZR_Rdr_CP_Main& main = program->Main();
        TfmAxisConf& dialog = *main.fmAxisConf;
        QPushButton* buttons[] = {main.btnAxis0, main.btnAxis1, main.btnAxis2};
        // Read another axis first, so the record set holds more than the one written.
        TModalScript script;
        script.Then([](QWidget& d) { static_cast<QDialog&>(d).reject(); });
        QTest::mouseClick(buttons[(axis + 1) % 3], Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        auto* deadZone = dialog.findChild<QLineEdit*>("edDeadZoneLow");
        QVERIFY(deadZone);
        script.Then([&](QWidget&) {
            // Typed, not confirmed: the press of "Сохранить" takes the focus and writes it.
            dialog.wwDataInspector1->FocusRow(dialog.wwDataInspector1->RowOf(deadZone));
            deadZone->selectAll();
            QTest::keyClicks(deadZone, "37");
            // The record's own N does not decide the axis written.
            program->Main().Axes().N.SetInteger((axis + 1) % 3);
            program->pedals->ClearLog();
            QTest::mouseClick(dialog.btnSave, Qt::LeftButton);
        });
        QTest::mouseClick(buttons[axis], Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QVERIFY(!dialog.isVisible());

        const auto frames = program->pedals->ReceivedFrames();
        QVERIFY(frames.size() >= 3);
        QVERIFY(IsCommand(frames[0], cmdSelectWrite, uint8_t(structureId)));
        QCOMPARE(frames[1].at(DeadZoneLowIndex + 1), uint8_t(37));
        QVERIFY(IsCommand(frames[2], cmdReboot, 0));
        QCOMPARE(program->pedals->Structure(uint8_t(structureId))[DeadZoneLowIndex], uint8_t(37));
    }

    void rangeErrorShowsTheBoxAndKeepsTheOldValue() {
        TfmAxisConf& dialog = *program->Main().fmAxisConf;
        TAxisRecords& axes = program->Main().Axes();
        auto* deadZone = dialog.findChild<QLineEdit*>("edDeadZoneLow");
        int64_t before = -1, after = -1;
        QString shownAfter, errorTitle;
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            before = axes.DeadZoneLow.AsInteger();
            dialog.wwDataInspector1->FocusRow(dialog.wwDataInspector1->RowOf(deadZone));
            deadZone->selectAll();
            QTest::keyClicks(deadZone, "70000");
            QTest::keyClick(deadZone, Qt::Key_Return);
            after = axes.DeadZoneLow.AsInteger();
            shownAfter = deadZone->text();
            static_cast<QDialog&>(axisDialog).reject();
        });
        script.Then([&](QWidget& box) {
            errorTitle = box.windowTitle();
            TModalScript::Click(QMessageBox::Ok, script)(box);
        });
        QTest::mouseClick(program->Main().btnAxis0, Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        QCOMPARE(script.seenTexts.size(), 1);
        QVERIFY2(script.seenTexts[0].startsWith("70000 is not a valid value for field"), qPrintable(script.seenTexts[0]));
        QVERIFY(script.seenTexts[0].endsWith("65535."));
        QCOMPARE(errorTitle, QString::fromUtf8(AppTitle));
        QCOMPARE(after, before);
        QCOMPARE(shownAfter, QString::number(before));
    }

    void lettersAreNotTakenIntoAZone() {
        TfmAxisConf& dialog = *program->Main().fmAxisConf;
        auto* zone = dialog.findChild<QLineEdit*>("edZic");
        QString shown;
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            dialog.wwDataInspector1->FocusRow(dialog.wwDataInspector1->RowOf(zone));
            zone->selectAll();
            QTest::keyClicks(zone, "1x2");
            shown = zone->text();
            static_cast<QDialog&>(axisDialog).reject();
        });
        QTest::mouseClick(program->Main().btnAxis2, Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QCOMPARE(shown, QStringLiteral("12"));
    }

private:
    std::unique_ptr<TProgram> program;
};

QTEST_MAIN(AxisConfTest)
#include "AxisConfTest.moc"
