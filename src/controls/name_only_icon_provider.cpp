#include "controls/name_only_icon_provider.h"

#include <QFileInfo>

namespace vrx {

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
    if (info.isRoot()) {
        return icon(Drive);
    }
    return icon(info.isDir() ? Folder : File);
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
    if (info.isDir()) {
        return QFileIconProvider::type(info); // "Folder", "Drive": no file is read for these
    }
    const QMimeType mime =
        mimeTypes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

} // namespace vrx
