#include "app/port_watch.h"

#include <QDir>
#include <QFileInfo>

namespace vrx {

namespace {
constexpr int kTickMs = 1000;
// udev makes the device first, then its permissions and its by-id link: one look after the
// burst of changes finds the adapter whole.
constexpr int kSettleMs = 200;
} // namespace

PortWatch::PortWatch(const QString& devDir, QObject* parent)
    : QObject(parent), folders_{devDir, QDir(devDir).filePath(QStringLiteral("serial/by-id"))} {
    tick_.setInterval(kTickMs);
    settle_.setInterval(kSettleMs);
    settle_.setSingleShot(true);
    connect(&tick_, &QTimer::timeout, this, [this] {
        WatchFolders();
        Due();
    });
    connect(&settle_, &QTimer::timeout, this, &PortWatch::Due);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (tick_.isActive() && !settle_.isActive()) {
            settle_.start();
        }
    });
}

void PortWatch::Start() {
    if (!tick_.isActive()) {
        WatchFolders();
        tick_.start();
    }
}

void PortWatch::Stop() {
    tick_.stop();
    settle_.stop();
}

void PortWatch::WatchFolders() {
    // A folder that is removed leaves the watch; it is watched again once it is back.
    const QStringList watched = watcher_.directories();
    for (const QString& folder : folders_) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir()) {
            watcher_.addPath(folder);
        }
    }
}

void PortWatch::Due() {
    if (OnDue) {
        OnDue();
    }
}

} // namespace vrx
