#include "controls/file_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vrx {

namespace {

QString& SettingsPath() {
    static QString path;
    return path;
}

QString Key(const QString& kind) {
    return QStringLiteral("Folders/") + kind;
}

} // namespace

void KeepFileFoldersIn(const QString& settingsPath) {
    SettingsPath() = settingsPath;
}

QString StartFolder(const QString& kind) {
    if (!SettingsPath().isEmpty() && !kind.isEmpty()) {
        const QString folder =
            QSettings(SettingsPath(), QSettings::IniFormat).value(Key(kind)).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    // A profile without a documents folder still has a home.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void RememberFolder(const QString& kind, const QString& chosenPath) {
    if (SettingsPath().isEmpty() || kind.isEmpty() || chosenPath.isEmpty()) {
        return;
    }
    QSettings ini(SettingsPath(), QSettings::IniFormat);
    ini.setValue(Key(kind), QFileInfo(chosenPath).absolutePath());
    ini.sync(); // a failure is ignored: the folder is a convenience
}

} // namespace vrx
