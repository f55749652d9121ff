#pragma once
// File dialogs behind a replaceable function, so tests choose files without a dialog. A save
// dialog gives a name typed without an extension the chosen filter's and asks before replacing
// a file; an open dialog takes only an existing file. AskForFile opens each kind of file where
// that kind was last chosen (controls/file_folders.h).

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace vrx {

struct FileDialogRequest {
    bool save = false;
    QString caption = {};
    QStringList filters = {}; // e.g. "VRX630 Configuration files (*.630)", "All files (*)"
    // A check box below the file list: its text and object name, and the choice it shows at
    // first and holds once a file is chosen. None without `option`.
    QString optionText = {};
    QString optionName = {};
    bool* option = nullptr;
    // The kind of file ("RamFiles", "ConfigFiles", ...), which names the folder kept for it,
    // and the folder the dialog opens in, which AskForFile fills in from it.
    QString kind = {};
    QString directory = {};
};

// The names of the kinds of file, one remembered folder each.
inline const QString kRamFiles = QStringLiteral("RamFiles");
inline const QString kConfigFiles = QStringLiteral("ConfigFiles");
inline const QString kRecordings = QStringLiteral("Recordings");
inline const QString kPlotPictures = QStringLiteral("PlotPictures");
inline const QString kPlotData = QStringLiteral("PlotData");
inline const QString kFirmwareHeaders = QStringLiteral("FirmwareHeaders");

// The chosen path, or an empty text when the dialog was cancelled.
using FileDialogFunction = std::function<QString(QWidget* parent, const FileDialogRequest&)>;
extern FileDialogFunction ChooseFile;

// ChooseFile opened in the folder of the request's kind; the folder of a chosen file is kept
// for the next dialog of that kind.
QString AskForFile(QWidget* parent, FileDialogRequest request);

// The extension of a filter such as "CSV files (*.csv)" without its dot; empty for "(*)".
QString FilterSuffix(const QString& filter);

} // namespace vrx
