#pragma once
#include <QFont>

class QApplication;

namespace qzr {

// Tahoma at the given pixel height, or where Tahoma is not to be had a sans squeezed to
// Tahoma's width, so the captions laid out for Tahoma still fit.
QFont UiFont(int pixelSize, bool bold = false);

// Uses the fallback sans even where Tahoma is to be had, for checking that no caption is
// clipped without Tahoma. Affects fonts asked for afterwards.
void ForceFallbackUiFont(bool force);

// Makes Tahoma 11 px the application's font. Debian's fonts-wine installs Tahoma where
// fontconfig does not look, so it is registered from there when the family is missing.
void ApplyUiFont(QApplication& application);

// Loads Qt's own Russian translation, so standard buttons read "Да", "Нет", "Отмена".
void LoadRussianTranslation(QApplication& application);

} // namespace qzr
