#pragma once
#include <QFont>

class QApplication;

namespace qzr {

// Tahoma at the given pixel height, or a sans font where Tahoma is not to be had.
QFont UiFont(int pixelSize, bool bold = false);

// Makes Tahoma 11 px the application's font. Debian's fonts-wine installs Tahoma where
// fontconfig does not look, so it is registered from there when the family is missing.
void ApplyUiFont(QApplication& application);

// Loads Qt's own Russian translation, so standard buttons read "Да", "Нет", "Отмена".
void LoadRussianTranslation(QApplication& application);

} // namespace qzr
