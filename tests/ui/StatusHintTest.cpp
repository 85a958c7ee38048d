// The side panel's hint under the connection status, on virtual pedals staged as the demo's
// situations: what it says, where it sits, that its command can be copied, and that the
// status, the panels and the bus stay exactly as without any pedals.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "hid/sim/Situations.h"
#include "link/ConnectionHints.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

bool Visible(const QWidget* w) { return w->isVisibleTo(w->window()); }

QRect InPanel(const QWidget* w, const QWidget* panel) {
    return QRect(w->mapTo(panel, QPoint(0, 0)), w->size());
}

} // namespace

class StatusHintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }

    void hintUnderTheStatus_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("says");      // a part of the hint; empty: no hint
        QTest::addColumn<QString>("command");   // a command in it to copy, if any
        const QString rule = QString::fromStdString(std::string("echo '") + PedalsUdevRule +
                                                    "' | sudo tee /etc/udev/rules.d/" + PedalsUdevRuleFile +
                                                    " && sudo udevadm control --reload");
        QTest::newRow("connected") << "connected" << true << "" << "";
        QTest::newRow("no access") << "no-access" << false << Ru("у вас нет прав на работу с ними") << rule;
        QTest::newRow("busy") << "busy" << false << Ru("заняты другой программой") << "";
        QTest::newRow("no hidraw") << "no-hidraw" << false << Ru("нет ни одного HID-устройства")
                                   << "sudo modprobe hidraw";
        QTest::newRow("no pedals") << "no-pedals" << false << Ru("Педали не найдены") << "qzr-hidinfo";
        QTest::newRow("monitor down") << "monitor-down" << true
                                      << Ru("не замечает подключения и отключения педалей") << "";
    }

    void hintUnderTheStatus() {
        QFETCH(QString, situation);
        QFETCH(bool, connected);
        QFETCH(QString, says);
        QFETCH(QString, command);
        TProgram program(false);
        QVERIFY(sim::StageSituation(program.platform, situation.toStdString()));
        program.window = CreateProgramWindows(program.platform);
        TfmQZR_Rdr_CP_Main& main = program.Main();
        main.Connection().UdevRuleInstalled = [] { return false; };
        main.show();
        QTRY_VERIFY(!main.lbStatus->text().isEmpty());

        QCOMPARE(main.lbStatus->text(), Ru(connected ? "Подключены" : "Не подключены"));
        QCOMPARE(main.lbStatus->palette().color(QPalette::WindowText),
                 connected ? QColor(0, 0, 255) : QColor(255, 0, 0));
        for (QWidget* w : std::initializer_list<QWidget*>{main.gbController, main.pnGeneralInfo, main.btnAxis0})
            QCOMPARE(Visible(w), connected);
        if (!connected) QCOMPARE(program.platform.FeatureCallCount(), 0);

        QLabel* hint = main.lbStatusHint;
        QCOMPARE(hint->objectName(), QStringLiteral("lbStatusHint"));
        QCOMPARE(hint->text(), QString::fromStdString(main.Connection().View().statusHint));
        QCOMPARE(Visible(hint), !says.isEmpty());
        if (says.isEmpty()) return;
        QVERIFY2(hint->text().contains(says), qPrintable(hint->text()));
        QVERIFY(hint->wordWrap());
        QVERIFY(hint->textInteractionFlags() & Qt::TextSelectableByMouse);

        // Under the status, inside the side panel, clear of the buttons, and tall enough.
        const QRect area = InPanel(hint, main.Panel1);
        QVERIFY(area.top() >= InPanel(main.lbStatus, main.Panel1).bottom());
        QVERIFY(main.Panel1->contentsRect().contains(area));
        QVERIFY(area.bottom() < InPanel(main.BitBtn1, main.Panel1).top());
        QVERIFY(hint->heightForWidth(hint->width()) <= hint->height());

        if (command.isEmpty()) return;
        const int at = hint->text().indexOf(command);
        QVERIFY2(at >= 0, qPrintable(hint->text()));
        hint->setSelection(at, int(command.size()));
        QCOMPARE(hint->selectedText(), command);
    }
};

QTEST_MAIN(StatusHintTest)
#include "StatusHintTest.moc"
