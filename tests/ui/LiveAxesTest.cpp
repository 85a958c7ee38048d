// The pedals' live axes: the side panel's rows and the axis dialog's bar follow the input
// reports of the virtual pedals; nothing is read or painted without reports; reading stops
// while the window is minimised and when the pedals go.
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "ui/AxisConf.h"
#include "ui/AxisLivePosition.h"
#include "ui/LiveAxesPanel.h"
#include "ui/LiveInput.h"
#include "ui/controls/AxisPositionBar.h"
#include "ui/controls/BoundControl.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

using TZones = std::vector<TAxisPositionBar::TZone>;

struct TPaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

bool Near(std::optional<double> position, double expected) {
    return position && std::abs(*position - expected) < 1e-9;
}

bool SameZones(const TZones& shown, const TZones& expected) {
    if (shown.size() != expected.size()) return false;
    for (size_t i = 0; i < shown.size(); ++i)
        if (std::abs(shown[i].from - expected[i].from) > 1e-9 || std::abs(shown[i].to - expected[i].to) > 1e-9)
            return false;
    return true;
}

} // namespace

class LiveAxesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }

    void init() {
        program = std::make_unique<TProgram>();
        program->StartConnected();
        QTRY_COMPARE(Panel().RowCount(), 3);
    }
    void cleanup() { program.reset(); }

    void rowsFollowThePedals() {
        TLiveAxesPanel& panel = Panel();
        QVERIFY(panel.isVisibleTo(&program->Main()));
        QCOMPARE(panel.parentWidget(), program->Main().pnGeneralInfo);
        QVERIFY(panel.geometry().bottom() < program->Main().BitBtn1->geometry().top());
        QCOMPARE((QStringList{panel.RowName(0), panel.RowName(1), panel.RowName(2)}),
                 (QStringList{"Rudder", "Rx", "Ry"}));
        QCOMPARE(panel.RowValue(0), QStringLiteral("\u2014"));
        QVERIFY(!panel.RowBar(0)->Position());

        program->pedals->SetAxes(2048, 0, 1023);
        QTRY_COMPARE((QStringList{panel.RowValue(0), panel.RowValue(1), panel.RowValue(2)}),
                     (QStringList{"2048", "0", "1023"}));
        QVERIFY(Near(panel.RowBar(0)->Position(), 2048.0 / 4095.0));
        QVERIFY(Near(panel.RowBar(1)->Position(), 0.0));
        QVERIFY(Near(panel.RowBar(2)->Position(), 1.0));
        QVERIFY(panel.RowBar(0)->Centred());
        QVERIFY(!panel.RowBar(1)->Centred());
    }

    void dialogBarShowsTheRecordsAxisAndDeadZones() {
        TfmQZR_Rdr_CP_Main& main = program->Main();
        TAxisRecords& axes = main.Axes();
        TAxisPositionBar* bar = main.fmAxisConf->pnLivePosition->Bar();
        std::optional<double> onOpening, afterReport, afterUsageChange;
        TZones zonesOnOpening, zonesAfterEdit;
        QString valueShown;
        TModalScript script;
        script.Then([&](QWidget& dialog) {
            onOpening = bar->Position();
            zonesOnOpening = bar->Zones();
            program->pedals->SetAxes(4095, 512, 100);
            (void)QTest::qWaitFor([&] { return bar->Position().has_value(); }, 2000);
            afterReport = bar->Position();
            valueShown = main.fmAxisConf->pnLivePosition->ValueLabel()->text();
            EditIfNeeded(axes.cdsNStruct);
            axes.DeadZoneLow.SetInteger(100);
            zonesAfterEdit = bar->Zones();
            axes.HID_Usage.SetInteger(0x34);   // Ry: the right brake's usage
            afterUsageChange = bar->Position();
            static_cast<QDialog&>(dialog).reject();
        });
        QTest::mouseClick(main.btnAxis1, Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        QVERIFY(!onOpening);
        // The left brake's factory dead zones: 2 % at the start, 3 % at the end of travel.
        QVERIFY(SameZones(zonesOnOpening, {{0.0, 0.02}, {0.97, 1.0}}));
        QVERIFY(Near(afterReport, 512.0 / 1023.0));
        QCOMPARE(valueShown, QStringLiteral("512"));
        QVERIFY(SameZones(zonesAfterEdit, {{0.0, 0.10}, {0.97, 1.0}}));
        QVERIFY(Near(afterUsageChange, 100.0 / 1023.0));
    }

    void dialogBarOfTheRudderIsCentred() {
        TfmQZR_Rdr_CP_Main& main = program->Main();
        TAxisPositionBar* bar = main.fmAxisConf->pnLivePosition->Bar();
        TZones zones;
        bool centred = false;
        TModalScript script;
        script.Then([&](QWidget& dialog) {
            zones = bar->Zones();
            centred = bar->Centred();
            static_cast<QDialog&>(dialog).reject();
        });
        QTest::mouseClick(main.btnAxis0, Qt::LeftButton);
        QTRY_VERIFY(script.Done());
        QVERIFY(centred);
        // Factory: 1.5 % round the centre, 1 % at each extreme.
        QVERIFY(SameZones(zones, {{0.4925, 0.5075}, {0.0, 0.01}, {0.99, 1.0}}));
    }

    void nothingIsReadOrPaintedWithoutReports() {
        program->pedals->SetAxes(1000, 10, 20);
        QTRY_COMPARE(Panel().RowValue(0), QStringLiteral("1000"));
        QTest::qWait(50);
        TPaintCounter counter;
        for (QWidget* child : Panel().findChildren<QWidget*>()) child->installEventFilter(&counter);
        const int reads = program->platform.InputReadCount();
        int refreshes = 0;
        connect(&program->Main().LiveInput(), &TLiveInput::refreshed, this, [&] { ++refreshes; });
        QTest::qWait(300);
        QCOMPARE(program->platform.InputReadCount(), reads);
        QCOMPARE(refreshes, 0);
        QCOMPARE(counter.paints, 0);
    }

    void refreshesAreCoalesced() {
        int refreshes = 0;
        connect(&program->Main().LiveInput(), &TLiveInput::refreshed, this, [&] { ++refreshes; });
        QElapsedTimer clock;
        clock.start();
        int sent = 0;
        QTimer sender;
        sender.setTimerType(Qt::PreciseTimer);
        connect(&sender, &QTimer::timeout, this, [&] {
            ++sent;
            program->pedals->SetAxes(uint16_t(sent), uint16_t(sent % 1024), 0);
        });
        sender.start(1);
        QVERIFY(QTest::qWaitFor([&] { return sent >= 300; }, 5000));
        sender.stop();
        const qint64 sending = clock.elapsed();
        QTRY_COMPARE(Panel().RowValue(0), QString::number(sent));
        QVERIFY(refreshes >= 1);
        QVERIFY2(refreshes <= sending / TLiveInput::MinRefreshIntervalMs + 2,
                 qPrintable(QString("%1 refreshes in %2 ms").arg(refreshes).arg(sending)));
    }

    void malformedAndShortReportsAreIgnored() {
        program->pedals->SetAxes(100, 200, 300);
        QTRY_COMPARE(Panel().RowValue(2), QStringLiteral("300"));
        const int reads = program->platform.InputReadCount();
        program->pedals->SendInputReport({0x01});
        program->pedals->SendInputReport({0xFF, 0xFF, 0xFF});
        QTRY_VERIFY(program->platform.InputReadCount() > reads + 1);
        QTest::qWait(50);
        QCOMPARE((QStringList{Panel().RowValue(0), Panel().RowValue(1), Panel().RowValue(2)}),
                 (QStringList{"100", "200", "300"}));
        QVERIFY(program->Main().LiveInput().IsReading());
        program->pedals->SetAxes(101, 200, 300);
        QTRY_COMPARE(Panel().RowValue(0), QStringLiteral("101"));
    }

    void readingStopsWhileMinimised() {
        TfmQZR_Rdr_CP_Main& main = program->Main();
        QVERIFY(main.LiveInput().IsReading());
        QCOMPARE(program->platform.InputOpenCount(), 1);
        main.showMinimized();
        QVERIFY(!main.LiveInput().IsReading());
        QCOMPARE(program->platform.InputOpenCount(), 0);
        const int reads = program->platform.InputReadCount();
        program->pedals->SetAxes(7, 7, 7);
        QTest::qWait(100);
        QCOMPARE(program->platform.InputReadCount(), reads);

        main.showNormal();
        QVERIFY(main.LiveInput().IsReading());
        program->pedals->SetAxes(8, 9, 10);
        QTRY_COMPARE(Panel().RowValue(2), QStringLiteral("10"));
    }

    void readingStopsWhenThePedalsGo() {
        program->pedals->SetAxes(5, 6, 7);
        QTRY_COMPARE(Panel().RowValue(0), QStringLiteral("5"));
        program->platform.Unplug(*program->pedals);
        QTRY_COMPARE(program->Main().lbStatus->text(), Ru("Не подключены"));
        QVERIFY(!program->Main().LiveInput().IsReading());
        QCOMPARE(program->platform.InputOpenCount(), 0);

        program->platform.Plug(program->pedals);
        QTRY_VERIFY(program->Main().LiveInput().IsReading());
        program->pedals->SetAxes(50, 60, 70);
        QTRY_COMPARE(Panel().RowValue(0), QStringLiteral("50"));
    }

    void inputHasAHandleOfItsOwn() {
        // The input handle is the reader's own: the connection's feature file is as before.
        THidDevice* device = program->Main().Connection().Device();
        QVERIFY(device);
        QVERIFY(program->Main().LiveInput().IsReading());
        QCOMPARE(program->platform.OpenHandleCount(*program->pedals), device->HasOpenFile() ? 1 : 0);
    }

private:
    TLiveAxesPanel& Panel() { return *program->Main().pnLiveAxes; }
    std::unique_ptr<TProgram> program;
};

QTEST_MAIN(LiveAxesTest)
#include "LiveAxesTest.moc"
