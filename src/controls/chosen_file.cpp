#include "controls/chosen_file.h"

#include "controls/file_dialog.h"
#include "controls/message_box.h"

#include <QFile>

namespace vrx {

std::optional<ChosenFile> OpenChosenFile(QWidget* parent, const QString& kind,
                                         const QStringList& filters, qint64 maxBytes) {
    const QString path = AskForFile(parent, {.filters = filters, .kind = kind});
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(parent,
                    QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()),
                    QMessageBox::Critical);
        return std::nullopt;
    }
    ChosenFile chosen{path, file.read(maxBytes), false};
    chosen.readError = file.error() != QFileDevice::NoError;
    return chosen;
}

} // namespace vrx
