#pragma once
// The Qt platform the program asks for, set before the application object exists. On Windows
// the text is drawn by the FreeType font engine, not the default GDI one: with GDI, under Wine
// at 100 % scaling, no line edit draws its text (spin boxes, editable combo boxes, the RAM cell
// editor, the file dialogs' name box), while labels do. A platform named in QT_QPA_PLATFORM with
// options of its own, or on the command line, is left as it is.

namespace vrx {

void SetPlatformDefaults();

} // namespace vrx
