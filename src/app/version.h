#pragma once
// The program's version, set once in the build, and its short form for the window title.

#include <QString>

namespace vrx {

// The program file's version, such as 1.4.1.0: compiled in, and on Windows read from the
// file's version resource.
QString ProgramFileVersion();

// 1.4.1.0 gives 1.41: up to the first "." plus one character, then from two characters further
// on up to the next "." (never the text's last character), and "0" appended to a three-character
// result. An empty version gives an empty text.
QString ShortVersion(const QString& fileVersion);

} // namespace vrx
