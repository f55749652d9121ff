#pragma once
// The program's windows connected to vrx630-sim with 19200-baud wire timing, running as its
// own process so that the time and processor cost measured are the program's alone.

#include "app/program_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace vrx::bench {

// Runs the event loop for `ms` milliseconds without spinning.
inline void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts every distributed poll reply into `polls` by wrapping the displays of the polled slots.
inline void CountPolls(ProgramWindows& program, long& polls) {
    for (int slot = 0; slot < kPollSlotCount; ++slot) {
        PollSlot& s = program.main.Poll().Slot(slot);
        if (s.MainDisplay) {
            s.MainDisplay = [&polls, show = s.MainDisplay](const QString& text) {
                ++polls;
                show(text);
            };
        }
    }
}

// A message box would wait for a hand that is not there: each is shown on stderr and closed.
class MessageCloser {
public:
    MessageCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
                box->accept();
            }
        });
        timer_.start(100);
    }

private:
    QTimer timer_;
};

class WiredProgram {
public:
    // Starts the board, playing `variant` (a vrx630-sim variant name; empty: the plain board),
    // and the program and opens the port; false if the board did not start.
    bool Start(const QString& variant = QString()) {
        if (!StartBoard(variant)) {
            return false;
        }
        OpenProgram();
        return true;
    }
    // The board alone, so another program can use its port first; false if it did not start.
    bool StartBoard(const QString& variant = QString()) {
        QStringList arguments{QStringLiteral("--wire-timing")};
        if (!variant.isEmpty()) {
            arguments << QStringLiteral("--variant") << variant;
        }
        board_.start(QStringLiteral(VRX_SIM_PROGRAM), arguments);
        if (!board_.waitForReadyRead(5000)) {
            std::fprintf(stderr, "the simulated board did not start\n");
            return false;
        }
        device = QString::fromLocal8Bit(board_.readLine()).trimmed();
        return true;
    }
    // The program on its own "Simulated board" of `label` ("Simulated board (VRX52x kit)"),
    // served in its process with the wire's time, polling as fast as the board answers: the
    // board's memory counts in the program's.
    void StartOwn(const QString& label) {
        device = label;
        program = std::make_unique<ProgramWindows>();
        program->main.show();
        program->main.findChild<QCheckBox*>(QStringLiteral("CheckFastPoll"))->setChecked(true);
        program->main.findChild<QComboBox*>(QStringLiteral("ComboCOM"))->setEditText(device);
        program->main.findChild<QPushButton*>(QStringLiteral("BtnOpen"))->click();
    }
    // The program, on the board's port.
    void OpenProgram() {
        program = std::make_unique<ProgramWindows>();
        program->main.show();
        program->main.findChild<QComboBox*>(QStringLiteral("ComboCOM"))->setEditText(device);
        program->main.findChild<QPushButton*>(QStringLiteral("BtnOpen"))->click();
    }
    // Waits for the board's announcement, then lets the first cycles pass. The board's wire
    // timing is not seen by the pseudo-terminal's transmit queue, so the first poll can meet
    // the identification on the line; the reply timeout then recovers within two seconds.
    void WaitUntilActive() {
        for (int waited = 0; waited < 5000 && State() != QLatin1String("The board is active.");
             waited += 100) {
            Pump(100);
        }
        Pump(500);
    }
    QString State() const {
        return program->main.findChild<QLabel*>(QStringLiteral("StaticInfo1"))->text();
    }
    ~WiredProgram() {
        if (program) {
            program->main.close();
        }
        if (board_.state() != QProcess::NotRunning) {
            board_.terminate();
        }
        board_.waitForFinished(3000);
    }

    std::unique_ptr<ProgramWindows> program;
    QString device; // the board's pseudo-terminal

private:
    QProcess board_;
};

} // namespace vrx::bench
