#include "controls/atomic_file.h"

#include "chip/atomic_file.h"

namespace vrx {

QString WriteFileAtomically(const QString& path, const QByteArray& data) {
    // The writer takes names and gives reasons in UTF-8, which is what Qt 6 takes file names
    // and system texts to be on POSIX systems too.
    return QString::fromStdString(WriteFileAtomically(
        path.toStdString(), std::string_view(data.constData(), size_t(data.size()))));
}

} // namespace vrx
