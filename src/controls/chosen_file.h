#pragma once
// Loading from a file the user chooses: the open dialog, the open, and a read bounded by what
// the format may hold, with the message of a file that cannot be opened.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vrx {

struct ChosenFile {
    QString path;
    QByteArray bytes;       // at most the bound asked for
    bool readError = false; // the read failed part-way: `bytes` holds what came before
};

// Nothing when the dialog was cancelled, or when the file could not be opened (then said in a
// message box: "Cannot open file "PATH". REASON"). The dialog opens where files of `kind` were
// last chosen (AskForFile).
std::optional<ChosenFile> OpenChosenFile(QWidget* parent, const QString& kind,
                                         const QStringList& filters, qint64 maxBytes);

} // namespace vrx
