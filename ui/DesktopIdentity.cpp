#include "ui/DesktopIdentity.h"

#include <QApplication>
#include <QDirIterator>

namespace qzr {

QIcon ProgramIcon()
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral(QZR_DESKTOP_ID "-*.png")});
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

void ApplyDesktopIdentity(QApplication& application)
{
    application.setApplicationName(QStringLiteral(QZR_APPLICATION_NAME));
    application.setDesktopFileName(QStringLiteral(QZR_DESKTOP_ID));
    application.setWindowIcon(ProgramIcon());
}

} // namespace qzr
