#pragma once
#include <functional>

class QWidget;

namespace qzr {

// Runs `work` from the event loop once `window` has painted its first frame, so what that
// frame does not show costs nothing before it. Nothing runs if the window is never painted
// or is gone by then.
void RunAfterFirstFrame(QWidget& window, std::function<void()> work);

} // namespace qzr
