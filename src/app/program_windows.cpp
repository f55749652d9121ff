#include "app/program_windows.h"

#include "controls/classic_hint.h"

#include <QApplication>

namespace vrx {

ProgramWindows::ProgramWindows(TFormMain::Options options) : main(std::move(options)) {
    main.SetRegisterWindow(&registers, nullptr);
    main.SetPlotWindow(&graphics, &graphics);
    main.SetWarningDialog(&warning);
}

void InitialiseApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("VRX630 Evaluation Kit"));
    app.setApplicationDisplayName(QString());
    InstallClassicHints(app);
}

} // namespace vrx
