#pragma once
// Whole-program tests: the real windows, offscreen, against a simulated board on a
// pseudo-terminal. Controls are found by their object names; message boxes are caught, their
// texts recorded and answered.

#include "app/port_list.h"
#include "app/program_windows.h"
#include "sim/served_board.h"
#ifndef _WIN32
#include "sim/pty_board.h"
#endif

#include "support/message_catcher.h"
#include "support/wait_for.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace vrx::test {

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartProgram();
    }
    void TearDown() override {
        if (program) {
            program->main.close();
        }
        program.reset();
    }

    void StartProgram() {
        TFormMain::Options options;
        options.settingsPath = SettingsPath();
        options.devDir = dir.path(); // a device folder of the test's own, no adapter in it yet
        options.replyTimeoutMs = replyTimeoutMs;
        // The tests' own simulated boards answer at once and keep what they received; the
        // program's defaults are tested on their own.
        options.simulatedWireTiming = simulatedWireTiming;
        options.simulatedTraceLimit = simulatedTraceLimit;
        program = std::make_unique<ProgramWindows>(options);
        program->main.show();
    }
    QString SettingsPath() const { return dir.filePath(QStringLiteral("Eval630.ini")); }

    TFormMain& Main() { return program->main; }
    template <class T = QWidget> T* Find(const QString& name) {
        T* widget = program->main.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString Text(const QString& name) {
        if (auto* label = Find<QLabel>(name)) {
            return label->text();
        }
        return QString();
    }
    void Click(const QString& name) {
        auto* button = Find<QPushButton>(name);
        ASSERT_TRUE(button->isEnabled()) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Chooses a port by its text and opens it.
    void Open(const QString& portText) {
        Find<QComboBox>(QStringLiteral("ComboCOM"))->setEditText(portText);
        Click(QStringLiteral("BtnOpen"));
    }
    // Opens the program's own simulated board of a variant and waits for the announcement.
    sim::ServedBoard* OpenSimulated(const QString& variant) {
        QString label;
        for (const SimulatedPort& port : SimulatedPorts()) {
            if (port.variant == variant) {
                label = port.label;
            }
        }
        Open(label);
        EXPECT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
        return Main().SimulatedBoard(variant);
    }
#ifndef _WIN32
    // Opens a board the test started itself.
    void OpenBoard(sim::PtyBoard& board) {
        Open(QString::fromStdString(board.DevicePath()));
    }
    // Points the by-id link `name` of the program's device folder at a board's device, as
    // udev does when an adapter comes; returns the link's path.
    QString LinkAdapter(const QString& name, const sim::PtyBoard& board) {
        QDir(dir.path()).mkpath(QStringLiteral("serial/by-id"));
        const QString link = dir.filePath(QStringLiteral("serial/by-id/") + name);
        QFile::remove(link);
        EXPECT_TRUE(QFile::link(QString::fromStdString(board.DevicePath()), link));
        return link;
    }
#endif

    QTemporaryDir dir;
    uint32_t replyTimeoutMs = BoardLink::kReplyTimeoutMs;
    bool simulatedWireTiming = false;
    size_t simulatedTraceLimit = sim::ByteTrace::kDefaultLimit;
    MessageCatcher messages;
    std::unique_ptr<ProgramWindows> program;
};

// The 5-byte telegram frames in a run of wire bytes (bytes outside frames are skipped).
inline std::vector<std::array<uint8_t, 4>> Frames(const std::vector<uint8_t>& wire) {
    std::vector<std::array<uint8_t, 4>> frames;
    for (size_t i = 0; i + 5 <= wire.size();) {
        if (wire[i] == 0x23 || wire[i] == 0x21) {
            frames.push_back({wire[i + 1], wire[i + 2], wire[i + 3], wire[i + 4]});
            i += 5;
        } else {
            ++i;
        }
    }
    return frames;
}

} // namespace vrx::test
