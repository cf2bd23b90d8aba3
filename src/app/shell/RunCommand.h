// Runs a command body so that no exception crosses the Qt event loop.
#pragma once

#include <functional>

class QWidget;

namespace kalvex::app {

class Prompter;

/// Runs `body`; a kalvex::Error (or any other exception) ends the command with an error
/// message box showing its text. Returns true when the body finished without one.
bool RunCommand(QWidget* parent, Prompter& prompter, const std::function<void()>& body);

}  // namespace kalvex::app
