#pragma once
// The frame of the small driver-chip windows: fixed size, title bar with system menu, minimise
// and close only (no maximise, no sizing), placed centred over the main window.

class QWidget;

namespace vrx::drivers {

// Call once the window's layout is set.
void MakeFixedSizeWindow(QWidget& window);
// Centres the window over the window that owns it (its parent).
void CentreOverOwner(QWidget& window);

} // namespace vrx::drivers
