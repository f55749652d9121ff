#include "app/platform_defaults.h"
#include "app/program_windows.h"
#include "app/quit_on_signal.h"

#include <QApplication>

int main(int argc, char** argv) {
    vrx::SetPlatformDefaults();
    QApplication app(argc, argv);
    vrx::InitialiseApplication(app);
    vrx::TFormMain* mainWindow = nullptr; // set before the event loop runs the action
    vrx::OnTerminationSignals(app, [&mainWindow] { mainWindow->close(); });
    vrx::ProgramWindows windows;
    mainWindow = &windows.main;
    windows.main.show();
    return app.exec();
}
