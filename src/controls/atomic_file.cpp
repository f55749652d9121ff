#include "controls/atomic_file.h"

#include <QSaveFile>

namespace vrx {

QString WriteFileAtomically(const QString& path, const QByteArray& data) {
    // Unbuffered, so a short write (a full disk) shows in write(): a buffered QSaveFile
    // commits a truncated file as a success.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return QString();
}

} // namespace vrx
