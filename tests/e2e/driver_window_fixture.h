#pragma once
// Whole-program tests of the driver-chip windows: the program on a simulated kit, the window
// opened with its button, and the wire read back as the commands that were sent.

#include "program_fixture.h"

#include <algorithm>
#include <vector>

namespace vrx::test {

using Command = std::vector<uint8_t>;

// The wire split into what was sent: 5-byte telegram frames, 3-byte "P" and "S" driver
// commands, and single bytes (the one-byte queries).
inline std::vector<Command> WireCommands(const std::vector<uint8_t>& wire) {
    std::vector<Command> commands;
    for (size_t i = 0; i < wire.size();) {
        size_t length = 1;
        if (wire[i] == 0x23 || wire[i] == 0x21) {
            length = 5;
        } else if (wire[i] == 0x50 || wire[i] == 0x53) {
            length = 3;
        }
        length = std::min(length, wire.size() - i);
        commands.emplace_back(wire.begin() + long(i), wire.begin() + long(i + length));
        i += length;
    }
    return commands;
}

// The commands that begin with `head`, in their order.
inline std::vector<Command> CommandsStartingWith(const std::vector<Command>& all, uint8_t head) {
    std::vector<Command> found;
    std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                 [head](const Command& c) { return c.front() == head; });
    return found;
}

inline size_t CountOf(const std::vector<Command>& all, const Command& command) {
    return size_t(std::count(all.begin(), all.end(), command));
}

class DriverWindowTest : public ProgramTest {
protected:
    // Shows the driver window of the kit that is open, with the main window's button.
    QWidget* ShowKitWindow(const QString& windowName) {
        Click(QStringLiteral("BtnVRX640"));
        QWidget* window = Find(windowName);
        EXPECT_TRUE(window != nullptr && window->isVisible()) << windowName.toStdString();
        return window;
    }
    // Clicks a button of the driver window (the main window has a "BtnClose" of its own).
    void ClickIn(QWidget* window, const char* name) {
        auto* button = window->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    std::vector<Command> Wire() { return WireCommands(board->Trace().Bytes()); }
    // Waits until no command is in flight, so the trace holds every byte sent so far.
    void WaitForQuietLine() {
        ASSERT_TRUE(WaitFor([&] { return Main().Link().AnswerReceived; }));
    }
    void WaitForPolling() {
        ASSERT_TRUE(
            WaitFor([&] { return Main().Link().PollingEnabled && Main().Link().AnswerReceived; }));
    }

    sim::ServedBoard* board = nullptr;
};

} // namespace vrx::test
