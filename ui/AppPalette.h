#pragma once

class QApplication;

namespace qzr {

// Gives the whole application the light palette its windows were designed for (button-face
// grey, black text, white fields), in the Fusion style, whatever the desktop's theme. The
// windows set fixed colours of their own (the blue and red status, grey derived values, a pale
// highlight, the serial number over a pale picture) that read only on it. Every colour of every
// group is set, so no role is left to the desktop's theme.
void ApplyLightTheme(QApplication& application);

} // namespace qzr
