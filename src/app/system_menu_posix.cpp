#include "app/system_menu.h"

namespace vrx {

// X11 and Wayland window managers own their window menus: F1 alone opens the About.
void AddAboutToSystemMenu(QWidget&) {}

bool IsAboutCommand(const void*) {
    return false;
}

} // namespace vrx
