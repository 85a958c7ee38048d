// The floor any Qt Widgets program pays: one fixed 1018 x 674 window with a tab page and a
// label, in the program's font. scripts/measure-startup runs it beside StartupProbe.
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "bench/FirstPaintReport.h"
#include "ui/AppFont.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    qzr::ApplyUiFont(application);
    QWidget window;
    window.setWindowTitle(QStringLiteral("QZR Rudder Control Panel V1.0"));
    window.setFixedSize(1018, 674);
    auto* pages = new QTabWidget(&window);
    pages->setGeometry(0, 0, 800, 674);
    auto* page = new QWidget;
    pages->addTab(page, QString::fromUtf8("Педали"));
    auto* label = new QLabel(QString::fromUtf8("ЮЗР педали"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    qzr::bench::TFirstPaintReport report;
    window.installEventFilter(&report);
    window.show();
    return application.exec();
}
