#pragma once
// Where the file dialogs open: in the folder a file of the same kind was last chosen in, kept in
// the program's settings file (section "Folders", one key per kind), else in the user's
// documents folder. Never the working folder, which for an installed program is its own folder
// under Program Files, where a user may not write.

#include <QString>

namespace vrx {

// The settings file that keeps the folders. Until one is set (a window built alone in a test),
// or after it is set empty, nothing is kept and every dialog opens in the documents folder.
void KeepFileFoldersIn(const QString& settingsPath);

// The folder a dialog for files of `kind` opens in; a remembered folder that is gone no longer
// counts.
QString StartFolder(const QString& kind);

// Keeps the folder of a file the user chose, for the next dialog of the same kind.
void RememberFolder(const QString& kind, const QString& chosenPath);

} // namespace vrx
