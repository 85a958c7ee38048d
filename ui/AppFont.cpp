#include "ui/AppFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace qzr {

namespace {

const QString TahomaFamily = QStringLiteral("Tahoma");

QString FindTahoma() {
    if (QFontDatabase::families().contains(TahomaFamily, Qt::CaseInsensitive)) return TahomaFamily;
    const QString wineFonts = QStringLiteral("/usr/share/wine/fonts/");
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"})
        QFontDatabase::addApplicationFont(wineFonts + QLatin1String(file));
    if (QFontDatabase::families().contains(TahomaFamily, Qt::CaseInsensitive)) return TahomaFamily;
    return {};
}

// Tahoma when it is to be had, "" otherwise; looked for once.
const QString& FontFamily() {
    static const QString family = FindTahoma();
    return family;
}

} // namespace

QFont UiFont(int pixelSize, bool bold) {
    const QString& family = FontFamily();
    QFont font;
    if (!family.isEmpty()) {
        font.setFamily(family);
    } else {
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void ApplyUiFont(QApplication& application) {
    application.setFont(UiFont(11));
}

void LoadRussianTranslation(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace qzr
