#pragma once
// File dialogs behind a replaceable function, so tests choose files without a dialog. A save
// dialog gives a name typed without an extension the chosen filter's and asks before replacing
// a file; an open dialog takes only an existing file.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace vrx {

struct FileDialogRequest {
    bool save = false;
    QString caption;
    QStringList filters; // e.g. "VRX630 Configuration files (*.630)", "All files (*)"
    // A check box below the file list: its text and object name, and the choice it shows at
    // first and holds once a file is chosen. None without `option`.
    QString optionText = {};
    QString optionName = {};
    bool* option = nullptr;
};

// The chosen path, or an empty text when the dialog was cancelled.
using FileDialogFunction = std::function<QString(QWidget* parent, const FileDialogRequest&)>;
extern FileDialogFunction ChooseFile;

// The extension of a filter such as "CSV files (*.csv)" without its dot; empty for "(*)".
QString FilterSuffix(const QString& filter);

} // namespace vrx
