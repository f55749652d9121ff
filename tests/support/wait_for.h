#pragma once
// Waiting in tests: run the event loop until a condition holds or a deadline passes.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "support/qt_print.h"

#include <functional>

namespace vrx::test {

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// Runs the event loop for a while; for checking that something does NOT happen.
inline void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
}

} // namespace vrx::test
