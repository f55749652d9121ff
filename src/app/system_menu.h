#pragma once
// The About entry of a window's system menu, where the system has one to extend (Windows): the
// fixed main window offers its About there without a control of its own.

#include <QWidget>

namespace vrx {

// Adds "About VRX630 Evaluation Kit..." to the window's system menu; nothing where there is none.
void AddAboutToSystemMenu(QWidget& window);
// Whether the window's native message is the choice of that entry.
bool IsAboutCommand(const void* message);

} // namespace vrx
