// Showing a modal dialog once, or handing it to a test's runner instead of a window loop.
#pragma once

#include <functional>

namespace kalvex::app {

/// Shows `dialog` modally (exec), or calls `runner` with it when a test has set one. `running`
/// is true while the dialog is up: a second call meanwhile (Apply redrawing the picture behind
/// the dialog) returns at once.
template <typename Dialog>
void RunModal(Dialog& dialog, const std::function<void(Dialog&)>& runner, bool& running) {
    if (running) return;
    running = true;
    if (runner) {
        runner(dialog);
    } else {
        dialog.exec();
    }
    running = false;
}

}  // namespace kalvex::app
