#pragma once
// The program's windows, created in their order: the main window, the register window, the
// plot window and the warning dialog. They exist for the whole run and are only shown and
// hidden. main() and the whole-program tests build the program through this.

#include "app/form_main.h"
#include "app/form_warning.h"
#include "plots/form_graphics.h"
#include "registers/form_advanced.h"

namespace vrx {

struct ProgramWindows {
    explicit ProgramWindows(TFormMain::Options options = TFormMain::Options());

    TFormMain main;
    TFormAdvanced registers;
    TFormGraphics graphics;
    TFormWarning warning;
};

// Application-wide settings made before any window exists: title, hint style.
void InitialiseApplication(class QApplication& app);

} // namespace vrx
