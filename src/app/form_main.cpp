#include "app/form_main.h"

#include "app/app_settings.h"
#include "app/form_about.h"
#include "app/port_combo.h"
#include "app/system_menu.h"
#include "app/version.h"
#include "controls/file_folders.h"
#include "controls/led_little.h"
#include "controls/message_box.h"
#include "controls/spin_edit.h"
#include "controls/units_label.h"
#include "drivers/form_vrx516.h"
#include "drivers/form_vrx52x.h"
#include "drivers/form_vrx880.h"
#include "serial/device_name.h"
#include "serial/network_port_name.h"
#ifdef _WIN32
#include "sim/loopback_board.h"
#else
#include "sim/pty_board.h"
#endif

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <cerrno>
#include <utility>

namespace vrx {

TFormMain::TFormMain(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), link_(serialPort_), poll_(link_),
      portWatch_(options_.devDir) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(kProgramTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    if (options_.settingsPath.isEmpty()) {
        options_.settingsPath = DefaultSettingsPath();
    }
    KeepFileFoldersIn(options_.settingsPath); // the dialogs' folders go with the settings
    CreateControls();

    serialPort_.SetBaudRate(cbr19200);
    serialPort_.SetFlowControl(fcRTSToggle);
    link_.SetReplyTimeout(options_.replyTimeoutMs);
    link_.OnIdentification = [this](const Identification& id) { Identify(id); };
    link_.OnPollReply = [this](const Answer& reply) { poll_.DistributeReply(reply); };
    link_.OnReplyAccepted = [this] {
        AnnounceBoard();
        poll_.Advance(link_.Detecting);
    };
    link_.OnReplyTimeout = [this] { ReplyTimeout(); };
    link_.ReportError = [this](const QString& text) { ShowMessage(text); };
    link_.OnPortLost = [this] { PortLost(); };
    link_.OnLineStalled = [this] { LineStalled(); };
    link_.OnTransferAnswered = [this](const Telegram& t, const Answer& a) { units_.Observe(t, a); };
    poll_.ShowStatus = [this](uint8_t status) { ShowStatusBits(status); };
    poll_.OnPass = [this](const PassRow& row) { RecordPass(row); };

    TimerActions.setObjectName(QStringLiteral("TimerActions"));
    TimerActions.setInterval(10);
    TimerActions.setTimerType(Qt::PreciseTimer); // a 10 ms tick, not the coarse default
    connect(&TimerActions, &QTimer::timeout, this, &TFormMain::TimerActionsTimer);
    TimerRecord.setInterval(int(PassRecorder::kFlushIntervalMs));
    connect(&TimerRecord, &QTimer::timeout, this, &TFormMain::ShowRecording);
    portWatch_.OnDue = [this] { PortsMayHaveChanged(); };
    // Fast polling: the next poll leaves as soon as a reply has been taken, not at the next
    // tick. The tick still watches the reply timeout and polls after a transfer.
    connect(&link_, &BoardLink::answerStateChanged, this, [this] {
        if (link_.AnswerReceived && CheckFastPoll->isChecked()) {
            poll_.Tick();
        }
    });

    FormCreate();
}

TFormMain::~TFormMain() {
    KeepFileFoldersIn(QString());
    TimerActions.stop();
    link_.Close();
}

void TFormMain::FormCreate() {
    shortVersion_ = ShortVersion(ProgramFileVersion());
    setWindowTitle(kProgramTitle + QStringLiteral(" V") + shortVersion_);
    baseCaption_ = windowTitle();

    ShowPortChoices(*ComboCOM, PortChoices(options_.devDir));
    const PortSetting setting = ReadPortSetting(options_.settingsPath);
    if (!setting.comDevice.isEmpty()) {
        SelectPort(*ComboCOM, setting.comDevice);
    } else {
        ComboCOM->setCurrentIndex(setting.comPort >= 0 && setting.comPort <= 8 ? setting.comPort
                                                                               : -1);
    }
    CheckReconnect->setChecked(setting.reconnect);
    CheckFastPoll->setChecked(setting.fastPolling);
    EditClockMHz->setValue(setting.clockMhz);
    ShowUnits->setChecked(setting.showUnits);

    driverWindows_[0] = new TFormVRX516(link_, serialPort_, this);
    driverWindows_[1] = new TFormVRX52x(link_, poll_, this);
    driverWindows_[2] = new TFormVRX880(poll_, this);

    poll_.PollIndex = 0;
    link_.AnswerReceived = true;
    link_.PollingEnabled = true;
    poll_.TimerBusy = false;
    TimerActions.stop();
    link_.Detecting = false;

    ShowNoPort();

    for (int motor = 0; motor < kMotorCount; ++motor) {
        motors_[size_t(motor)].CbRampMode->setCurrentIndex(0);
        RampModeChange(motor);
    }

    for (int motor = 0; motor < kMotorCount; ++motor) {
        const MotorPanel& p = motors_[size_t(motor)];
        const auto sink = [](QLabel* label, TUnitsLabel* converted = nullptr) {
            return [label, converted](const QString& t) {
                label->setText(t);
                if (converted != nullptr) {
                    converted->SetRawText(t);
                }
            };
        };
        poll_.Slot(XActualSlot(motor)).MainDisplay = sink(p.StaticXAct);
        poll_.Slot(VTargetSlot(motor)).MainDisplay = sink(p.StaticVTarget, p.UnitsStaticVTarget);
        poll_.Slot(VActualSlot(motor)).MainDisplay = sink(p.StaticVAct, p.UnitsStaticVAct);
        poll_.Slot(AActualSlot(motor)).MainDisplay = sink(p.StaticAAct, p.UnitsStaticAAct);
    }

    ShowVariant();

    // Fixed size: no maximise, never larger than designed.
    setFixedSize(sizeHint());
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &TFormMain::ShowAbout);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    // Closing the main window ends the program, whatever other windows are shown; this also
    // ends the event loops of waits still in progress.
    QCoreApplication::quit();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!std::exchange(systemMenuExtended_, true)) {
        AddAboutToSystemMenu(*this);
    }
}

bool TFormMain::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (IsAboutCommand(message)) {
        ShowAbout();
        *result = 0;
        return true;
    }
    return QMainWindow::nativeEvent(eventType, message, result);
}

void TFormMain::ShowAbout() {
    TFormAbout about(ProgramFileVersion(), this);
    about.exec();
}

void TFormMain::FormClose() {
    TimerActions.stop();
    StopRecording();
    portWatch_.Stop();
    link_.Close();
    PortSetting setting = PortSettingFor(ComboCOM->currentIndex(), ChosenPort(*ComboCOM));
    setting.reconnect = CheckReconnect->isChecked();
    setting.fastPolling = CheckFastPoll->isChecked();
    setting.clockMhz = EditClockMHz->value();
    setting.showUnits = ShowUnits->isChecked();
    WritePortSetting(options_.settingsPath, setting);
    for (QWidget* window : driverWindows_) {
        if (window != nullptr) {
            window->close();
        }
    }
}

void TFormMain::SetRegisterWindow(QWidget* window, RegisterView* view) {
    registerWindow_ = window;
    poll_.SetRegisterView(view);
}

void TFormMain::SetPlotWindow(QWidget* window, PlotFeed* feed) {
    plotWindow_ = window;
    plotFeed_ = feed;
    poll_.SetPlotFeed(feed);
}

void TFormMain::SetSimulatedClock(sim::ServedBoard& board, int mhz) {
    board.With([mhz](sim::SimulatedBoard& b) { b.Model().SetClockMhz(mhz); });
}

void TFormMain::EditClockMHzChange(int mhz) {
    units_.SetClockMhz(mhz);
    for (const auto& [variant, board] : simBoards_) {
        SetSimulatedClock(*board, units_.Units().ClockMhz());
    }
}

sim::ServedBoard* TFormMain::SimulatedBoard(const QString& variant) const {
    const auto it = simBoards_.find(variant);
    return it == simBoards_.end() ? nullptr : it->second.get();
}

void TFormMain::SetConnectedControls(bool open) {
    ComboCOM->setEnabled(!open);
    BtnOpen->setEnabled(!open);
    BtnClose->setEnabled(open);
    BtnCmd630->setEnabled(open);
    for (const MotorPanel& p : motors_) {
        p.BtnStop->setEnabled(open);
        p.BtnGo->setEnabled(open);
    }
    BtnStopAll->setEnabled(open);
    BtnGoAll->setEnabled(open);
    // The plot window opens with no port too: its history is there to be looked at.
    BtnVRX640->setEnabled(open);
    BtnRecord->setEnabled(open);
}

void TFormMain::ShowVariant() {
    setWindowTitle(VariantTitle(variant_, baseCaption_, shortVersion_));
    const QString caption = DriverButtonCaption(variant_);
    if (!caption.isEmpty()) {
        BtnVRX640->setText(caption);
    }
    BtnVRX640->setVisible(!caption.isEmpty());
    BtnVRX640->setEnabled(!caption.isEmpty() && serialPort_.IsOpen());
    // The slow first byte belongs to the ZEPHA frame: on any other board the option is gone
    // and off, so it can never reach a board that does not know it.
    CheckSlow->setVisible(variant_.Zepha);
    CheckSlow->setEnabled(variant_.Zepha);
    if (!variant_.Zepha) {
        CheckSlow->setChecked(false);
    }
    link_.ZephaFrames = variant_.Zepha;
}

void TFormMain::CloseDriverWindows() {
    for (QWidget* window : driverWindows_) {
        if (window != nullptr && window->isVisible()) {
            window->close();
        }
    }
}

bool TFormMain::OpenPort(const QString& port, QString& reason) {
    QString device = port;
    std::unique_ptr<SerialBackend> backend; // the platform's, unless a simulated board's line
    if (const auto simulated = FindSimulatedPort(port)) {
        // A simulated board is kept for the whole run, so a reopened port finds the motors
        // where they were. It is served on a pseudo-terminal, or on Windows on a loopback line.
        auto& board = simBoards_[simulated->variant];
        if (!board) {
            const auto variant = sim::ParseVariant(simulated->variant.toStdString());
            // It takes the wire's time at 19200 baud, as a kit does, so the program polls as it
            // would on the bench, and runs at the board clock set.
            sim::LineOptions line;
            line.wireTiming = options_.simulatedWireTiming;
            board = std::make_unique<sim::SimulatedLine>(variant.value_or(sim::BoardVariant::Plain),
                                                         line);
            board->SetTraceLimit(options_.simulatedTraceLimit);
            SetSimulatedClock(*board, units_.Units().ClockMhz());
            if (!board->Start()) {
                reason = QString::fromStdString(board->ErrorText());
                board.reset();
                return false;
            }
        }
#ifdef _WIN32
        backend = board->Connect();
        device = QString::fromLatin1(sim::LoopbackBoard::kDeviceName);
#else
        device = QString::fromStdString(board->DevicePath());
#endif
    }
    serialPort_.SetBackend(std::move(backend));
    serialPort_.SetDeviceName(device);
    serialPort_.Open();
    std::string unused;
    const auto network = ParseNetworkPortName(device.toStdString(), unused);
    rawLineNoteDue_ = network && network->scheme == NetworkScheme::Socket;
    reason = QString::fromLocal8Bit(serialPort_.LastErrorText().c_str());
    return serialPort_.IsOpen();
}

void TFormMain::BtnOpenClick() {
    const QString port = ChosenPort(*ComboCOM);
    QString reason;
    if (!OpenPort(port, reason)) {
        QString message = QStringLiteral("Could not open port ") + port + QStringLiteral(".");
        if (!reason.isEmpty() && !port.isEmpty()) {
            message += QStringLiteral("\n") + reason;
        }
        ShowMessage(message);
        return;
    }
    StartConnection();
}

void TFormMain::StartConnection() {
    portWatch_.Stop(); // the list and the wait rest while a port is open
    waitingForPort_ = false;
    poll_.PollIndex = 0;
    link_.PollingEnabled = true;
    boardActiveShown_ = false;
    SetConnectedControls(true);
    TimerActions.start();
    // Last: the burst may wait for the line in the event loop, where Close can end it all.
    StartDetection();
}

void TFormMain::BtnCloseClick() {
    CloseConnection();
    ShowNoPort();
}

void TFormMain::CloseConnection() {
    TimerActions.stop();
    StopRecording();
    if (registerWindow_ != nullptr && registerWindow_->isVisible()) {
        registerWindow_->close();
    }
    if (plotWindow_ != nullptr && plotWindow_->isVisible()) {
        plotWindow_->close();
    }
    // The driver-chip windows close with the port too, while it still carries what their close
    // sends: left open, their queries would go to whatever board the next Open finds.
    CloseDriverWindows();
    link_.Close();
}

void TFormMain::ShowNoPort() {
    waitingForPort_ = false;
    SetConnectedControls(false);
    StaticInfo1->setText(QStringLiteral("No port opened."));
    StaticInfo2->setText(QStringLiteral("Select a port, then click \"Open\"."));
    PortsMayHaveChanged(); // the list as it is now, then kept so
    portWatch_.Start();
}

void TFormMain::PortLost() {
    if (portLostHandling_ || !serialPort_.IsOpen()) {
        return;
    }
    portLostHandling_ = true;
    CloseConnection();
    if (CheckReconnect->isChecked()) {
        WaitForPort();
    } else {
        ShowNoPort();
        ShowMessage(
            QStringLiteral("The port %1 is no longer available.").arg(ChosenPort(*ComboCOM)));
    }
    portLostHandling_ = false;
}

void TFormMain::WaitForPort() {
    waitingForPort_ = true;
    // Only Close, which ends the wait; the port stays the one chosen.
    SetConnectedControls(false);
    ComboCOM->setEnabled(false);
    BtnOpen->setEnabled(false);
    BtnClose->setEnabled(true);
    StaticInfo1->setText(QStringLiteral("The port is gone."));
    StaticInfo2->setText(QStringLiteral("Waiting for it to return..."));
    portWatch_.Start();
}

void TFormMain::CheckReconnectClick() {
    if (waitingForPort_ && !CheckReconnect->isChecked()) {
        ShowNoPort(); // the port is no longer waited for
    }
}

void TFormMain::TryReconnect() {
    QString reason;
    if (OpenPort(ChosenPort(*ComboCOM), reason)) {
        StartConnection(); // detection and polling as Open does: never a motion command
        return;
    }
    // Absent is what a gone port is; anything else (held by another program, no permission)
    // is said until it changes.
    StaticInfo2->setText(PortAbsent(serialPort_.LastError()) || reason.isEmpty()
                             ? QStringLiteral("Waiting for it to return...")
                             : reason);
}

void TFormMain::PortsMayHaveChanged() {
    if (waitingForPort_) {
        TryReconnect();
    } else if (!serialPort_.IsOpen() && !ComboCOM->view()->isVisible()) {
        // Not under the user's hand while the list is dropped down.
        ShowPortChoices(*ComboCOM, PortChoices(options_.devDir));
    }
}

void TFormMain::StartDetection() {
    // All set before the burst: its waits run the event loop, so the identification, or the
    // report of a line that does not send, may come before it returns.
    CloseDriverWindows(); // they belong to the board found before, if any
    variant_.StartDetection();
    dividersWanted_ = true;
    ShowVariant();
    StaticInfo1->setText(QStringLiteral("Trying to detect the board."));
    StaticInfo2->clear();
    link_.StartDetection();
}

void TFormMain::Identify(const Identification& bytes) {
    const BoardKind kind = IdentifyBoard(bytes);
    if (kind == BoardKind::Zepha) {
        link_.SendZEPHASetup(); // still in the plain frame
    }
    variant_.Set(kind);
    ShowVariant();
}

void TFormMain::AnnounceBoard() {
    if (boardActiveShown_) {
        return;
    }
    boardActiveShown_ = true;
    if (!std::exchange(dividersWanted_, false)) {
        ShowBoardActive();
        return;
    }
    // The dividers first, so what the windows show from the announcement on is worked out from
    // what the chip holds; not from inside the receive handler that accepted the reply.
    QTimer::singleShot(0, this, [this] {
        if (ReadDividers()) {
            ShowBoardActive();
        } else {
            dividersWanted_ = true; // again when the board answers again
        }
    });
}

void TFormMain::ShowBoardActive() {
    StaticInfo1->setText(QStringLiteral("The board is active."));
    StaticInfo2->setText(DetectedText(variant_) +
                         (std::exchange(rawLineNoteDue_, false)
                              ? QStringLiteral(" Raw TCP: the line is as the server sets it.")
                              : QString()));
}

bool TFormMain::ReadDividers() {
    if (!serialPort_.IsOpen() || !boardActiveShown_) {
        return false;
    }
    const auto suspension = link_.SuspendPolling();
    for (int motor = 0; motor < kMotorCount; ++motor) {
        // The answer reaches the units through the link's hook.
        if (!link_.Transfer(
                Telegram::Make(RegisterByte(unsigned(motor), kDividerRegister, true), 0))) {
            return false;
        }
    }
    // Every accepted reply moves the polling cycle on, these three too: start it over, so the
    // first pass after the detection is whole and begins at slot 0.
    poll_.PollIndex = 0;
    return boardActiveShown_;
}

void TFormMain::ReplyTimeout() {
    StaticInfo1->setText(QStringLiteral("The board does not respond."));
    StaticInfo2->setText(QStringLiteral("Please check the cable and power."));
    boardActiveShown_ = false;
}

void TFormMain::LineStalled() {
    StaticInfo1->setText(QStringLiteral("The serial port does not send."));
    StaticInfo2->setText(QStringLiteral("Please check the adapter and its driver."));
    boardActiveShown_ = false; // announced again once the line drains and the board answers
}

void TFormMain::TimerActionsTimer() {
    poll_.Tick();
}

void TFormMain::ShowStatusBits(uint8_t status) {
    for (int bit = 0; bit < 8; ++bit) {
        statusLeds_[size_t(bit)]->SetLedColor((status >> bit) & 1 ? lcCyan : lcDarkCyan);
    }
}

void TFormMain::ShowMessage(const QString& text) {
    vrx::ShowMessage(this, text);
}

void TFormMain::BtnCmd630Click() {
    ShowWindow(registerWindow_);
}

void TFormMain::BtnGraphicsClick() {
    ShowWindow(plotWindow_);
}

void TFormMain::ShowWindow(QWidget* window) {
    if (window != nullptr) {
        window->show();
        window->raise();
    }
}

void TFormMain::BtnVRX640Click() {
    const bool flags[3] = {variant_.Kit516, variant_.Kit52x, variant_.Kit880};
    for (size_t i = 0; i < driverWindows_.size(); ++i) {
        if (flags[i] && driverWindows_[i] != nullptr) {
            try {
                ShowWindow(driverWindows_[i]);
            } catch (...) {
                // A window that cannot be shown must not keep the next one from showing.
            }
        }
    }
}

} // namespace vrx
