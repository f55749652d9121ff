#pragma once
// File dialogs behind a replaceable function, so tests choose files without a dialog. A save
// dialog asks before replacing a file and adds no extension; an open dialog takes only an
// existing file.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace vrx {

struct FileDialogRequest {
    bool save = false;
    QString caption;
    QStringList filters; // e.g. "VRX630 Configuration files (*.630)", "All files (*)"
};

// The chosen path, or an empty text when the dialog was cancelled.
using FileDialogFunction = std::function<QString(QWidget* parent, const FileDialogRequest&)>;
extern FileDialogFunction ChooseFile;

} // namespace vrx
