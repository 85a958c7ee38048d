#pragma once
#include <QPalette>

class QApplication;

namespace qzr {

// The light palette the windows were designed for: button-face grey, black text, white
// fields. The windows set fixed colours of their own (the blue and red status, grey derived
// values, a pale highlight, the serial number over a pale picture) that read only on it.
// Every colour of every group is set, so no role is left to the desktop's theme.
QPalette LightPalette();

// Fusion with the light palette for the whole application, whatever the desktop's theme.
void ApplyLightTheme(QApplication& application);

} // namespace qzr
