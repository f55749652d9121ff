#pragma once
// PortWatch: says when the serial ports present may have changed, while started. At once when
// the device folder or its by-id folder changes (inotify, through QFileSystemWatcher), and once
// a second in any case: a by-id folder made after the watch began, or a link only pointed
// elsewhere, may pass unseen, and a port that cannot be opened yet is tried again.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace vrx {

class PortWatch : public QObject {
    Q_OBJECT
public:
    explicit PortWatch(const QString& devDir, QObject* parent = nullptr);

    void Start();
    void Stop();

    std::function<void()> OnDue;

private:
    void WatchFolders();
    void Due();

    QStringList folders_;
    QTimer tick_;
    QTimer settle_;
    QFileSystemWatcher watcher_;
};

} // namespace vrx
