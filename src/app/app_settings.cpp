#include "app/app_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vrx {

namespace {
const QString kComPortKey = QStringLiteral("Settings/COMPort");
const QString kComDeviceKey = QStringLiteral("Settings/COMDevice");
const QString kReconnectKey = QStringLiteral("Settings/Reconnect");
const QString kFastPollingKey = QStringLiteral("Settings/FastPolling");
const QString kClockKey = QStringLiteral("Settings/ClockMHz");
const QString kShowUnitsKey = QStringLiteral("Settings/ShowUnits");

bool IsComName(const QString& text, int& index) {
    if (text.size() == 4 && text.startsWith(QLatin1String("COM")) && text[3] >= QLatin1Char('1') &&
        text[3] <= QLatin1Char('9')) {
        index = text[3].digitValue() - 1;
        return true;
    }
    return false;
}

// An installed program's folder is the system's, even where it is writable (root, an
// administrator), and a file left there would outlive the program. On Linux the desktop entry
// beside the installed programs tells an installation apart; on Windows its place under
// "Program Files".
bool Installed(const QDir& programDir) {
#ifdef _WIN32
    const QString program = QDir::cleanPath(programDir.absolutePath()) + QLatin1Char('/');
    for (const char* variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const QString folder = qEnvironmentVariable(variable);
        if (!folder.isEmpty() &&
            program.startsWith(QDir::cleanPath(QDir::fromNativeSeparators(folder)) +
                                   QLatin1Char('/'),
                               Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
#else
    return QFileInfo::exists(
        programDir.filePath(QStringLiteral("../share/applications/vrx630-eval.desktop")));
#endif
}

} // namespace

QString DefaultSettingsPath() {
    // Beside the program, as in its build tree or an unpacked folder; an installed program's
    // settings live in the user's configuration (application data) folder.
    const QDir programDir(QCoreApplication::applicationDirPath());
    if (!Installed(programDir) && QFileInfo(programDir.path()).isWritable()) {
        return programDir.filePath(QStringLiteral("Eval630.ini"));
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("Eval630.ini"));
}

PortSetting ReadPortSetting(const QString& path) {
    QSettings ini(path, QSettings::IniFormat);
    PortSetting setting;
    bool ok = false;
    const int index = ini.value(kComPortKey, 0).toInt(&ok);
    setting.comPort = ok ? index : 0;
    setting.comDevice = ini.value(kComDeviceKey).toString();
    const int reconnect = ini.value(kReconnectKey, 1).toInt(&ok);
    setting.reconnect = !ok || reconnect != 0;
    setting.fastPolling = ini.value(kFastPollingKey, 0).toInt(&ok) != 0 && ok;
    const int clock = ini.value(kClockKey, kDefaultClockMhz).toInt(&ok);
    setting.clockMhz = ok && ValidClockMhz(clock) ? clock : kDefaultClockMhz;
    const int units = ini.value(kShowUnitsKey, 1).toInt(&ok);
    setting.showUnits = !ok || units != 0;
    return setting;
}

void WritePortSetting(const QString& path, const PortSetting& setting) {
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(kComPortKey, setting.comPort);
    if (setting.comDevice.isEmpty()) {
        ini.remove(kComDeviceKey);
    } else {
        ini.setValue(kComDeviceKey, setting.comDevice);
    }
    ini.setValue(kReconnectKey, setting.reconnect ? 1 : 0);
    ini.setValue(kFastPollingKey, setting.fastPolling ? 1 : 0);
    ini.setValue(kClockKey, setting.clockMhz);
    ini.setValue(kShowUnitsKey, setting.showUnits ? 1 : 0);
    ini.sync(); // a failure is ignored: the setting is a convenience
}

PortSetting PortSettingFor(int itemIndex, const QString& text) {
    int com = -1;
    if (IsComName(text, com)) {
        return {com, QString()};
    }
    if (text.isEmpty() || itemIndex < -1) {
        return {-1, QString()};
    }
    return {-1, text};
}

} // namespace vrx
