#include "app/program_windows.h"

#include "app/version.h"
#include "controls/classic_hint.h"
#include "registers/config_page.h"

#include <QApplication>

namespace vrx {

ProgramWindows::ProgramWindows(TFormMain::Options options)
    // The warning belongs to the main window, so it stays above it while it asks.
    : main(std::move(options)), registers(main.Link(), main.Poll(), main.Units()), warning(&main) {
    main.SetRegisterWindow(&registers, &registers);
    main.SetPlotWindow(&graphics, &graphics);
    graphics.SetUnits(&main.Units());
    main.SetWarningDialog(&warning);
    registers.Configuration()->FileInfo = [this] {
        return ConfigFileInfo{"vrx630-eval " + ProgramFileVersion().toStdString(),
                              std::string(BoardName(KindOf(main.Variant())))};
    };
}

void InitialiseApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("VRX630 Evaluation Kit"));
    app.setApplicationDisplayName(QString());
    app.setDesktopFileName(QStringLiteral("vrx630-eval")); // the installed desktop entry
    InstallClassicHints(app);
}

} // namespace vrx
