#pragma once
// TFormMain: the main window. It owns the serial port, the board link and the polling timer,
// runs the life of a connection (open, detection and identification, announcement, reply
// timeout, close, and the wait for a lost port to return), keeps the port list up to date
// while no port is open, and carries the three motor panels whose Go and Stop buttons program the
// VRX630. It is the only sender on the port; other windows reach the link and the poll table
// through it.

#include "app/board_variant.h"
#include "app/port_watch.h"
#include "controls/units_state.h"
#include "link/board_link.h"
#include "link/poll_cycle.h"
#include "link/serial_port.h"
#include "protocol/pass_recorder.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vrx {

class TFormWarning;
class TLedLittle;
class TSpinEdit;
class TUnitsLabel;

namespace sim {
class ServedBoard;
class LoopbackBoard;
class PtyBoard;
#ifdef _WIN32
using SimulatedLine = LoopbackBoard; // Windows has no pseudo-terminals
#else
using SimulatedLine = PtyBoard; // the serial path of real hardware
#endif
} // namespace sim

struct FormMainOptions {
    QString settingsPath;                    // empty: "Eval630.ini" beside the program
    QString devDir = QStringLiteral("/dev"); // where USB serial adapters are listed from
    uint32_t replyTimeoutMs = BoardLink::kReplyTimeoutMs;
    // The "Simulated board" ports take the wire's time and keep no bytes, as a kit; tests may
    // have them answer at once and keep what they received.
    bool simulatedWireTiming = true;
    size_t simulatedTraceLimit = 0;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    using Options = FormMainOptions;

    explicit TFormMain(Options options = Options(), QWidget* parent = nullptr);
    ~TFormMain() override;

    // The windows created after the main window plug in here.
    void SetRegisterWindow(QWidget* window, RegisterView* view);
    void SetPlotWindow(QWidget* window, PlotFeed* feed);
    void SetWarningDialog(TFormWarning* dialog) { warning_ = dialog; }

    BoardLink& Link() { return link_; }
    PollCycle& Poll() { return poll_; }
    TSerialPort& SerialPort() { return serialPort_; }
    const BoardVariant& Variant() const { return variant_; }
    // The clock, the motors' dividers and whether steps/s are shown, for every window.
    UnitsState& Units() { return units_; }
    QString BaseCaption() const { return baseCaption_; }
    // The in-process board behind a "Simulated board" port, once one was opened.
    sim::ServedBoard* SimulatedBoard(const QString& variant) const;

public slots:
    void BtnOpenClick();
    void BtnCloseClick();
    void CheckReconnectClick();
    void BtnCmd630Click();
    void BtnGraphicsClick();
    void BtnVRX640Click();
    void BtnRecordClick();
    void BtnGo1Click();
    void BtnStop1Click();
    void BtnGoAllClick();
    void BtnStopAllClick();
    void CbRampMode1Change();
    void CbRampMode2Change();
    void CbRampMode3Change();
    // The board clock: the units of every window, and the motion of the simulated boards.
    void EditClockMHzChange(int mhz);
    void TimerActionsTimer();
    // The About window: the version, the licence and the libraries' notices (F1).
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    static void SetSimulatedClock(sim::ServedBoard& board, int mhz);

    struct MotorPanel {
        QGroupBox* group = nullptr;
        TSpinEdit* EditXTarget = nullptr;
        TSpinEdit* EditVTarget = nullptr;
        TSpinEdit* EditVMin = nullptr;
        TSpinEdit* EditVMax = nullptr;
        TSpinEdit* EditAMax = nullptr;
        TSpinEdit* EditVActual = nullptr;
        QLabel* LblXTarget = nullptr;
        QLabel* LblVTarget = nullptr;
        QLabel* LblVMin = nullptr;
        QLabel* LblVMax = nullptr;
        QLabel* LblAMax = nullptr;
        QLabel* LblVActual = nullptr;
        QComboBox* CbRampMode = nullptr;
        QPushButton* BtnStop = nullptr;
        QPushButton* BtnGo = nullptr;
        QLabel* StaticXAct = nullptr;
        QLabel* StaticVAct = nullptr;
        QLabel* StaticAAct = nullptr;
        QLabel* StaticVTarget = nullptr;
        // The physical values beside the inputs and displays of velocities and accelerations.
        TUnitsLabel* UnitsVTarget = nullptr;
        TUnitsLabel* UnitsVMin = nullptr;
        TUnitsLabel* UnitsVMax = nullptr;
        TUnitsLabel* UnitsAMax = nullptr;
        TUnitsLabel* UnitsVActual = nullptr;
        TUnitsLabel* UnitsStaticVAct = nullptr;
        TUnitsLabel* UnitsStaticAAct = nullptr;
        TUnitsLabel* UnitsStaticVTarget = nullptr;
    };

    void CreateControls();
    QGroupBox* CreateInterfaceGroup();
    QGroupBox* CreateMoreGroup();
    QGroupBox* CreateStatusGroup();
    QGroupBox* CreateMotorGroup(int motor);
    QGroupBox* CreateAllMotorsGroup();

    void FormCreate();
    void FormClose();
    void SetConnectedControls(bool open);
    void ShowNoPort();
    // Opens `port`; false with the reason, in the user's words, when it cannot be opened.
    bool OpenPort(const QString& port, QString& reason);
    // After the port opened: polling, the connected controls and the detection.
    void StartConnection();
    // Stops polling, closes the register, plot and driver-chip windows, and the port.
    void CloseConnection();
    // The lost port is waited for and reopened when it returns.
    void WaitForPort();
    void TryReconnect();
    void PortsMayHaveChanged();
    void StartDetection();
    void Identify(const Identification& bytes);
    // Title, driver-chip button and the slow-SPI option as the variant flags say.
    void ShowVariant();
    void CloseDriverWindows();
    void AnnounceBoard();
    void ShowBoardActive();
    // The dividers of the three motors, read once the detected board answers, so the physical
    // units start from what the chip holds; false when the board left one unanswered.
    bool ReadDividers();
    void ReplyTimeout();
    void LineStalled();
    void PortLost();
    void ShowStatusBits(uint8_t status);
    void ShowMessage(const QString& text);
    static void ShowWindow(QWidget* window);

    void RampModeChange(int motor);
    // Program or stop one motor; false when the board left a telegram unanswered.
    bool Go(int motor);
    bool Stop(int motor);
    int MotorOfSender(const std::array<QPushButton*, 3>& buttons) const;

    // Recording every polling pass into a CSV file.
    void RecordPass(const PassRow& row);
    void ShowRecording();
    // Ends a recording with its file complete; says why when a write had failed.
    void StopRecording();

    bool systemMenuExtended_ = false;
    Options options_;
    TSerialPort serialPort_;
    BoardLink link_;
    PollCycle poll_;
    QTimer TimerActions;
    QTimer TimerRecord; // flushes the recording and updates LblRecord once a second
    std::unique_ptr<PassRecorder> recorder_;
    QString recordPath_;
    bool recordUnits_ = false; // the steps/s columns, as last chosen in the record dialog
    BoardVariant variant_;
    bool boardActiveShown_ = false;
    UnitsState units_;
    bool dividersWanted_ = false; // once per detection
    bool portLostHandling_ = false;
    bool waitingForPort_ = false;
    // A raw TCP port keeps the server's line settings: said once, when the board is found.
    bool rawLineNoteDue_ = false;
    PortWatch portWatch_;
    QString baseCaption_;
    QString shortVersion_;
    std::map<QString, std::unique_ptr<sim::SimulatedLine>> simBoards_;

    QWidget* registerWindow_ = nullptr;
    PlotFeed* plotFeed_ = nullptr;
    QWidget* plotWindow_ = nullptr;
    TFormWarning* warning_ = nullptr;
    std::array<QWidget*, 3> driverWindows_{}; // VRX516, VRX52x, VRX880

    QComboBox* ComboCOM = nullptr;
    QPushButton* BtnOpen = nullptr;
    QPushButton* BtnClose = nullptr;
    QLabel* StaticInfo1 = nullptr;
    QLabel* StaticInfo2 = nullptr;
    QCheckBox* CheckReconnect = nullptr;
    QPushButton* BtnCmd630 = nullptr;
    QPushButton* BtnGraphics = nullptr;
    QPushButton* BtnVRX640 = nullptr;
    QCheckBox* CheckSlow = nullptr;
    QCheckBox* CheckFastPoll = nullptr;
    TSpinEdit* EditClockMHz = nullptr;
    QCheckBox* ShowUnits = nullptr;
    QPushButton* BtnRecord = nullptr;
    QLabel* LblRecord = nullptr;
    std::array<TLedLittle*, 8> statusLeds_{};
    std::array<MotorPanel, 3> motors_;
    QPushButton* BtnStopAll = nullptr;
    QPushButton* BtnGoAll = nullptr;
};

} // namespace vrx
