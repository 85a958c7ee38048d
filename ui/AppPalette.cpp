#include "ui/AppPalette.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace qzr {

namespace {

// The same colours with every role of every group marked as set by the program.
QPalette SetThroughout(QPalette palette) {
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r != QPalette::NoRole) palette.setColor(g, r, palette.color(g, r));
        }
    }
    return palette;
}

} // namespace

void ApplyLightTheme(QApplication& application) {
    // A desktop style may draw with colours of its own theme; Fusion draws with the palette,
    // and its standard palette is the light one.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) application.setStyle(fusion);
    application.setPalette(SetThroughout(QApplication::style()->standardPalette()));
}

} // namespace qzr
