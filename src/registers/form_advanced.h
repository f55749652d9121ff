#pragma once
// TFormAdvanced: the register window. Six pages: the registers of each motor, the global
// registers, the configuration and microstep RAM, and configuration files of the whole chip. The
// window never reads registers itself: its pages enter their displays and decoders in the poll
// table, and the polling cycle reads the registers of the page on top while the window is shown.
// Writing is explicit: the user picks a register, fills in the value, watches the telegram and
// sends it.

#include "chip/telegram.h"
#include "link/poll_cycle.h"

#include <QWidget>

#include <array>

class QTabWidget;

namespace vrx {

class BoardLink;
class ConfigPage;
class RegisterPage;
class UnitsState;

class TFormAdvanced : public QWidget, public RegisterView {
    Q_OBJECT
public:
    static constexpr int kRamPage = 4;
    static constexpr int kConfigPage = 5;

    // `units` converts the velocities and accelerations of the motor pages.
    TFormAdvanced(BoardLink& link, PollCycle& poll, UnitsState& units, QWidget* parent = nullptr);
    ~TFormAdvanced() override;

    // RegisterView: shown from show until close; the page on top (0..2 motors, 3 global).
    bool IsShown() const override { return shown_; }
    int ActivePage() const override;

    // The telegram the pages compose, shared by all of them.
    Telegram CurrentTelegram;
    // Sends CurrentTelegram with polling suspended, and restores polling.
    void SendCurrentTelegram();

    RegisterPage* Page(int index) const { return pages_[size_t(index)]; }
    ConfigPage* Configuration() const { return config_; }

public slots:
    void PageControlChange(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    BoardLink& link_;
    PollCycle& poll_;
    bool shown_ = false;
    QTabWidget* PageControl = nullptr;
    std::array<RegisterPage*, 4> pages_{};
    ConfigPage* config_ = nullptr;
};

} // namespace vrx
