#include "app/program_windows.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vrx::InitialiseApplication(app);
    vrx::ProgramWindows windows;
    windows.main.show();
    return app.exec();
}
