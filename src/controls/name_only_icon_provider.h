#pragma once
// NameOnlyIconProvider: the icons and type names of a file dialog, guessed from the names alone.
// The default guesses a type from a file's first bytes where the name says nothing, on the
// window thread: a file that never ends or blocks its reader (/proc/kmsg) would freeze the
// program. This one never opens a file.

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace vrx {

class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    QMimeDatabase mimeTypes_;
};

} // namespace vrx
