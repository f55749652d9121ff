#include "app/quit_on_signal.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <windows.h>

namespace vrx {

namespace {

QObject* closeContext = nullptr;
std::function<void()> closeAction;
HANDLE closed = nullptr; // set once the event loop has ended

// Runs on a thread of the system's. Windows ends the process as soon as this returns from a
// close, log-off or shut-down event, so it waits (bounded: the system allows about five
// seconds) until the window has closed and the port and the settings are put away.
BOOL WINAPI OnConsoleEvent(DWORD) {
    if (closeContext == nullptr) {
        return FALSE;
    }
    QMetaObject::invokeMethod(
        closeContext, [] { closeAction(); }, Qt::QueuedConnection);
    WaitForSingleObject(closed, 4000);
    return TRUE;
}

} // namespace

void OnTerminationSignals(QObject& context, std::function<void()> action) {
    // A program without a console gets no console events: the system closes its windows
    // instead, which ends it the same way. With one (started from a console), Ctrl+C, Ctrl+Break
    // and closing the console come here.
    if (closeContext != nullptr) {
        return;
    }
    closeContext = &context;
    closeAction = std::move(action);
    closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [] { SetEvent(closed); });
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

} // namespace vrx
