#include "ui/AppPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace qzr {

namespace {

const QString LightStyle = QStringLiteral("Fusion");

} // namespace

QPalette LightPalette() {
    const std::unique_ptr<QStyle> style(QStyleFactory::create(LightStyle));
    QPalette palette = style ? style->standardPalette() : QPalette(QColor(0xF0, 0xF0, 0xF0));
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r != QPalette::NoRole) palette.setColor(g, r, palette.color(g, r));
        }
    }
    return palette;
}

void ApplyLightTheme(QApplication& application) {
    // A desktop style may draw with colours of its own theme; Fusion draws with the palette.
    if (QStyle* style = QStyleFactory::create(LightStyle)) application.setStyle(style);
    application.setPalette(LightPalette());
}

} // namespace qzr
