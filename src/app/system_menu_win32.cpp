#include "app/system_menu.h"

#include <windows.h>

namespace vrx {

namespace {

// A command of our own below the system's (SC_... from 0xF000 up), its low four bits clear as
// the system menu's commands must have them.
constexpr UINT kAboutCommand = 0x0010;

} // namespace

void AddAboutToSystemMenu(QWidget& window) {
    const HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (menu != nullptr) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutCommand, L"&About VRX630 Evaluation Kit...\tF1");
    }
}

bool IsAboutCommand(const void* message) {
    const auto* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand;
}

} // namespace vrx
