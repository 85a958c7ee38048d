// The axis dialog opened from the main window on virtual pedals: captions per axis, the
// usage-page and usage picks, saving to the axis it was opened for, refused entries.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QtTest>

#include "ui/AxisConf.h"
#include "ui/UserAction.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DataInspector.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

constexpr size_t ZicIndex = 7;           // byte 8
constexpr size_t DeadZoneLowIndex = 8;   // byte 9

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
        program->StartConnected();
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
        QVERIFY(script.seenTexts[0].endsWith("The allowed range is 0 to 255."));
        QCOMPARE(errorTitle, QString::fromUtf8(AppTitle));
        QCOMPARE(after, before);
        QCOMPARE(shownAfter, QString::number(before));
    }

    void abandonedEntryIsDroppedWhenTheDialogCloses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("reopenAxis");
        QTest::newRow("refused entry, same axis") << "70000" << 0;
        QTest::newRow("refused entry, other axis") << "-" << 1;
        QTest::newRow("accepted entry, same axis") << "99" << 0;
        QTest::newRow("accepted entry, other axis") << "99" << 2;
    }

    // Typed into a row, then the close box without leaving the row: the next opening shows the
    // controller's values, raises no error and writes the entry nowhere.
    void abandonedEntryIsDroppedWhenTheDialogCloses() {
        QFETCH(QString, typed);
        QFETCH(int, reopenAxis);
        TfmQZR_Rdr_CP_Main& main = program->Main();
        TfmAxisConf& dialog = *main.fmAxisConf;
        TAxisRecords& axes = main.Axes();
        QPushButton* buttons[] = {main.btnAxis0, main.btnAxis1, main.btnAxis2};
        auto* zone = dialog.findChild<QLineEdit*>("edZic");
        const uint8_t rudderZic = program->pedals->Structure(stAxisRudder)[ZicIndex];
        const uint8_t reopenedZic = program->pedals->Structure(StructureOfAxis(uint8_t(reopenAxis)))[ZicIndex];

        TModalScript typing;
        typing.Then([&](QWidget& axisDialog) {
            dialog.wwDataInspector1->FocusRow(dialog.wwDataInspector1->RowOf(zone));
            zone->selectAll();
            QTest::keyClicks(zone, typed);
            axisDialog.close();
        });
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        QTRY_VERIFY(typing.Done());
        program->pedals->ClearLog();

        // Before the mend an error box came up here in place of the dialog.
        QString shownOnReopening, modalOnReopening;
        int64_t zicOnReopening = -1;
        TModalScript reopening;
        reopening.Then([&](QWidget& modal) {
            modalOnReopening = modal.objectName();
            shownOnReopening = zone->text();
            zicOnReopening = axes.Zic.AsInteger();
            modal.close();
        });
        QTest::mouseClick(buttons[reopenAxis], Qt::LeftButton);
        QTRY_VERIFY(reopening.Done());

        QCOMPARE(modalOnReopening, dialog.objectName());
        QCOMPARE(shownOnReopening, QString::number(reopenedZic));
        QCOMPARE(zicOnReopening, int64_t{reopenedZic});
        QVERIFY(axes.cdsNStruct.LocateByValues("N", int64_t{0}));
        QCOMPARE(axes.Zic.AsInteger(), int64_t{rudderZic});
        for (const auto& frame : program->pedals->ReceivedFrames())
            QVERIFY(!IsCommand(frame, cmdSelectWrite, StructureOfAxis(0)));
    }

    void typingReplacesTheValueOfTheEnteredRow_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("click at the end of the value") << "value";
        QTest::newRow("click on the caption") << "caption";
        QTest::newRow("Enter in the row above") << "enter";
    }

    void typingReplacesTheValueOfTheEnteredRow() {
        QFETCH(QString, how);
        TfmAxisConf& dialog = *program->Main().fmAxisConf;
        TDataInspector& inspector = *dialog.wwDataInspector1;
        auto* zone = dialog.findChild<QLineEdit*>("edZic");
        QString before, shown;
        QWidget* typedInto = nullptr;
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            before = zone->text();
            if (how == "value") {
                QTest::mouseClick(zone, Qt::LeftButton, {}, QPoint(zone->width() - 4, zone->height() / 2));
            } else if (how == "caption") {
                const QRect row = inspector.visualItemRect(inspector.RowOf(zone));
                QTest::mouseClick(inspector.viewport(), Qt::LeftButton, {}, QPoint(40, row.center().y()));
            } else {
                inspector.FocusRow(inspector.RowOf(dialog.wwCheckBox7));
                QTest::keyClick(dialog.wwCheckBox7, Qt::Key_Return);
            }
            typedInto = QApplication::focusWidget();
            QTest::keyClicks(typedInto, "99");
            shown = zone->text();
            static_cast<QDialog&>(axisDialog).reject();
        });
        QTest::mouseClick(program->Main().btnAxis0, Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QVERIFY(!before.isEmpty() && before != "99");
        QCOMPARE(typedInto, zone);
        QCOMPARE(shown, QStringLiteral("99"));
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
