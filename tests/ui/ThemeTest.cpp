// The windows started under a dark desktop palette: the texts drawn in colours of their own
// (the blue status, the serial number over the picture, the axis dialog's active row and its
// grey derived values) must stay legible, at least 4.5 : 1 by the WCAG contrast formula.
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QTreeWidgetItem>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "ui/AxisConf.h"
#include "ui/controls/DBText.h"
#include "ui/controls/DataInspector.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

constexpr double LegibleContrast = 4.5;
constexpr double LegibleLargeTextContrast = 3.0;   // 24 px is large text

double Luminance(const QColor& colour) {
    const auto channel = [](double value) {
        value /= 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A palette as a dark desktop theme hands it to the program.
QPalette DarkDesktopPalette() {
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
    const std::pair<QPalette::ColorRole, QColor> roles[] = {
        {QPalette::WindowText, Qt::white},         {QPalette::Text, Qt::white},
        {QPalette::ButtonText, Qt::white},         {QPalette::Base, QColor(0x23, 0x23, 0x23)},
        {QPalette::AlternateBase, QColor(0x2C, 0x2C, 0x2C)}, {QPalette::Highlight, QColor(0x2A, 0x82, 0xDA)},
        {QPalette::HighlightedText, Qt::white},
    };
    for (const auto& [role, colour] : roles) dark.setColor(role, colour);
    return dark;
}

QColor TextColour(const QWidget& widget) { return widget.palette().color(widget.foregroundRole()); }

// The lowest contrast of `text` against the pixels of `area` in `shot`.
double LowestContrast(const QImage& shot, const QRect& area, const QColor& text) {
    double lowest = 21;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) lowest = std::min(lowest, Contrast(text, shot.pixelColor(x, y)));
    return lowest;
}

} // namespace

class ThemeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setPalette(DarkDesktopPalette());
        PrepareApplication(*static_cast<QApplication*>(QApplication::instance()));
    }

    void statusTextsReadOnTheirBackground_data() {
        QTest::addColumn<bool>("withPedals");
        QTest::addColumn<QString>("status");
        QTest::addColumn<double>("needed");
        QTest::newRow("connected, blue") << true << Ru("Подключены") << LegibleContrast;
        QTest::newRow("not connected, red") << false << Ru("Не подключены") << LegibleLargeTextContrast;
    }

    void statusTextsReadOnTheirBackground() {
        QFETCH(bool, withPedals);
        QFETCH(QString, status);
        QFETCH(double, needed);
        TProgram program(withPedals);
        program.Start();
        QLabel& label = *program.Main().lbStatus;
        QTRY_COMPARE(label.text(), status);
        const QImage shot = program.Main().grab().toImage();
        const QRect area(label.mapTo(&program.Main(), QPoint(2, 2)), QSize(4, 4));   // left of the text
        const double contrast = LowestContrast(shot, area, TextColour(label));
        QVERIFY2(contrast >= needed, qPrintable(QString::number(contrast)));
    }

    // The serial number is drawn straight onto the picture's display.
    void serialNumberReadsOverThePicture() {
        TProgram program;
        program.Start();
        TDBText& serial = *program.Main().DBText1;
        QTRY_VERIFY(!serial.text().isEmpty());
        const QColor text = TextColour(serial);
        serial.hide();
        const QImage shot = program.Main().grab().toImage();
        serial.show();
        const QRect glyphs = QFontMetrics(serial.font()).boundingRect(serial.rect(), Qt::AlignCenter, serial.text());
        const QRect area(serial.mapTo(&program.Main(), glyphs.topLeft()), glyphs.size());
        const double contrast = LowestContrast(shot, area, text);
        QVERIFY2(contrast >= LegibleContrast, qPrintable(QString::number(contrast)));
    }

    // The active row's caption and value over its highlight, and the grey derived values over
    // the rows they sit in (highlighted or not).
    void axisDialogRowsRead() {
        TProgram program;
        program.Start();
        TfmAxisConf& dialog = *program.Main().fmAxisConf;
        TDataInspector& inspector = *dialog.wwDataInspector1;
        auto* zone = dialog.findChild<QLineEdit*>("edZic");
        auto* derived = dialog.findChild<QLineEdit*>("edZicCalc");
        QImage shot;
        TModalScript script;
        script.Then([&](QWidget& axisDialog) {
            inspector.FocusRow(inspector.RowOf(zone));
            QApplication::processEvents();
            shot = inspector.viewport()->grab().toImage();
            static_cast<QDialog&>(axisDialog).reject();
        });
        QTest::mouseClick(program.Main().btnAxis0, Qt::LeftButton);
        QTRY_VERIFY(script.Done());

        const auto backgroundOf = [&](QTreeWidgetItem* row) {   // the caption cell's right end
            const QRect cell = inspector.visualItemRect(row);
            return shot.pixelColor(inspector.columnWidth(0) - 3, cell.center().y());
        };
        const QColor highlight = backgroundOf(inspector.RowOf(zone));
        QCOMPARE(highlight, inspector.palette().color(QPalette::Active, QPalette::Highlight));
        const QColor derivedRow = backgroundOf(inspector.RowOf(derived));
        const struct {
            const char* what;
            QColor text, background;
        } texts[] = {
            {"active caption", inspector.palette().color(QPalette::Active, QPalette::HighlightedText), highlight},
            {"active value", zone->palette().color(QPalette::Active, QPalette::Text), highlight},
            {"derived value", derived->palette().color(QPalette::Active, QPalette::Text), derivedRow},
            {"derived value, active", derived->palette().color(QPalette::Active, QPalette::Text), highlight},
        };
        for (const auto& t : texts) {
            const double contrast = Contrast(t.text, t.background);
            QVERIFY2(contrast >= LegibleContrast, qPrintable(QString("%1: %2").arg(t.what).arg(contrast)));
        }
    }
};

QTEST_MAIN(ThemeTest)
#include "ThemeTest.moc"
