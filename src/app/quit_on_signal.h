#pragma once
// A desktop session ends its programs with SIGTERM (SIGHUP when the terminal goes, SIGINT at
// Ctrl+C); on Windows a console sends its control events. The program then closes its main
// window as the user would, so the port is closed with its settings restored and the settings
// file is written, instead of dying mid-way.

#include <functional>

class QObject;

namespace vrx {

// From now on those signals (console events) run `action` on the event loop of `context`'s
// thread. Installed before the windows are made, a signal during start-up waits for the event
// loop too.
void OnTerminationSignals(QObject& context, std::function<void()> action);

} // namespace vrx
