#include "ui/AppFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
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

bool fallbackForced = false;

// Tahoma when it is to be had, "" otherwise; looked for once.
const QString& FontFamily() {
    static const QString family = FindTahoma();
    static const QString none;
    return fallbackForced ? none : family;
}

// The windows' fixed sizes were laid out for Tahoma, which is narrow: a sans set in its place
// is squeezed (a horizontal stretch, same height) until this caption, the widest of them, takes
// no more room than it takes in Tahoma: 189 px at 11 px, i.e. 17.18 px per pixel of height.
const char* const ReferenceCaption = "Переписать установки по умолчанию";
constexpr double TahomaReferenceWidthPerPixel = 189.0 / 11.0;

int StretchLikeTahoma(QFont font) {
    const QString caption = QString::fromUtf8(ReferenceCaption);
    const double room = TahomaReferenceWidthPerPixel * font.pixelSize();
    int stretch = QFont::Unstretched;
    for (; stretch > QFont::UltraCondensed; --stretch) {
        font.setStretch(stretch);
        if (QFontMetricsF(font).horizontalAdvance(caption) <= room) break;
    }
    return stretch;
}

QFont FallbackFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    static QHash<int, int> stretches;   // per pixel size; measuring costs a few layouts
    auto it = stretches.find(pixelSize);
    if (it == stretches.end()) it = stretches.insert(pixelSize, StretchLikeTahoma(font));
    font.setStretch(*it);
    font.setBold(bold);
    return font;
}

} // namespace

void ForceFallbackUiFont(bool force) { fallbackForced = force; }

QFont UiFont(int pixelSize, bool bold) {
    const QString& family = FontFamily();
    if (family.isEmpty()) return FallbackFont(pixelSize, bold);
    QFont font(family);
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
