#pragma once
#include <functional>
#include <memory>

#include "hid/EventPoster.h"
#include "hid/HidPlatform.h"

class QApplication;

namespace qzr {

class TfmQZR_Rdr_CP_Main;

// Creates the windows in start-up order: the main window, the classifier dialog (which fills
// the classifier, attached to the records at once) and the axis dialog. The HID controller's
// first announcement waits in the event loop, so it is handled once all three exist.
std::unique_ptr<TfmQZR_Rdr_CP_Main> CreateProgramWindows(IHidPlatform& platform);

// Font, Russian translation of Qt's own texts and the decimal separator of the locale.
void PrepareApplication(QApplication& application);

// False, after one line on stderr, when no display is to be had.
bool DisplayAvailable(int argc, char** argv);

using TPlatformFactory = std::function<std::unique_ptr<IHidPlatform>(IEventPoster& poster)>;

// The program: its windows on the platform the factory makes, until the main window closes.
int RunProgram(int argc, char** argv, const TPlatformFactory& makePlatform);

} // namespace qzr
