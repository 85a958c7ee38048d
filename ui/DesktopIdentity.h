#pragma once
#include <QIcon>

class QApplication;

namespace qzr {

// The program's icon in every size the desktop's icon theme gets.
QIcon ProgramIcon();

// Ties the running windows to the installed desktop entry: the application name (the X11
// window class the entry's StartupWMClass names), the entry's id (the Wayland app id) and
// the icon of every window.
void ApplyDesktopIdentity(QApplication& application);

} // namespace qzr
