// The program's icon and desktop identity: every size the icon theme gets is embedded, and a
// window made after start-up carries the icon.
#include <QApplication>
#include <QWidget>
#include <QtTest>

#include "ui/DesktopIdentity.h"

class DesktopIdentityTest : public QObject {
    Q_OBJECT

private slots:
    void iconHasEveryThemeSize();
    void windowsCarryTheIconAndDesktopId();
};

void DesktopIdentityTest::iconHasEveryThemeSize() {
    const QList<QSize> sizes = qzr::ProgramIcon().availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

void DesktopIdentityTest::windowsCarryTheIconAndDesktopId() {
    qzr::ApplyDesktopIdentity(*qApp);
    QWidget window;
    QCOMPARE(window.windowIcon().availableSizes(), qzr::ProgramIcon().availableSizes());
    QVERIFY(QGuiApplication::desktopFileName().startsWith(QLatin1String("org.")));
    QVERIFY(!QCoreApplication::applicationName().isEmpty());
    const QImage small = window.windowIcon().pixmap(QSize(16, 16)).toImage();
    QVERIFY(!small.isNull());
    QVERIFY2(small.pixelColor(8, 8).alpha() > 0, "the 16-pixel icon is blank in its middle");
}

QTEST_MAIN(DesktopIdentityTest)
#include "DesktopIdentityTest.moc"
