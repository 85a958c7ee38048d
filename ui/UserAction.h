#pragma once
// Every user action runs through RunUserAction: an error raised by a record set (or anything
// else) ends the action and is shown to the user instead of unwinding through Qt.
#include <QString>
#include <exception>
#include <utility>

namespace qzr {

inline constexpr const char* AppTitle = "QZR Rudder Control Panel V1.0";

// The error's text, ending in a full stop.
QString ErrorText(const std::exception& error);

// Modal error box captioned with the application's title.
void ShowErrorBox(const QString& text);

template <class Action>
bool RunUserAction(Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& error) {
        ShowErrorBox(ErrorText(error));
        return false;
    }
}

} // namespace qzr
