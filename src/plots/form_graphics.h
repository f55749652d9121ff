#pragma once
// TFormGraphics: the plot window, a measuring instrument over the whole session. It is the
// polling cycle's plot feed: every complete pass arrives here whether the window is shown or not
// and goes into the history with its time and the clock and dividers of its moment. A tab per
// motor shows the curves of the stretch in view on a time axis between two scale strips that
// fit the values in view, the seconds below. The view follows the newest pass or is paused,
// zoomed and panned with the wheel, a drag and the keys; two cursors measure between passes. A
// trigger catches the moment that matters, each capture is kept and may be laid over the view,
// and a recording opened takes the live history's place for a look with the same tools. The
// window only shows the views and the histories and forwards input to them.

#include "link/poll_cycle.h"
#include "plots/pass_history.h"
#include "plots/plot_view.h"
#include "protocol/pass_trigger.h"
#include "serial/tick_clock.h"

#include <QWidget>

#include <array>
#include <deque>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTabWidget;
class QWheelEvent;

namespace vrx {

class TFloatSpinEdit;
class TPaintBox;
class TSpinEdit;
class UnitsState;

class TFormGraphics : public QWidget, public PlotFeed {
    Q_OBJECT
public:
    static constexpr int kMotors = 3;

    explicit TFormGraphics(QWidget* parent = nullptr, TickClock clock = MonotonicTickCount,
                           size_t maxPasses = PassHistory::kMaxPasses);

    void AddPass(const PassRow& row) override;
    void MotorCommanded(int motor) override;

    // The history shown, live or a recording, and its view.
    const PassHistory& History() const;
    const PlotView& View() const;
    // The units of each pass as it comes, and whether steps/s and steps/s² are shown.
    void SetUnits(const UnitsState* units);

public slots:
    void BtnClearClick();
    void BtnPauseClick();
    // The context menu's commands, for the motor whose plot opened the menu.
    void MenuSavePictureClick();
    void MenuExportDataClick();
    void MenuOpenRecordingClick();
    void BtnArmClick();
    void CbSourceChange();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct MotorTab {
        QWidget* TabMotor = nullptr;
        TPaintBox* PaintBoxLeft = nullptr;
        TPaintBox* PaintBox = nullptr;
        TPaintBox* PaintBoxRight = nullptr;
        TPaintBox* PaintBoxTime = nullptr;
    };

    void CreateControls();
    QWidget* CreateMotorTab(int motor);
    QWidget* CreateLegend();
    QWidget* CreateTimePanel();
    void CreatePopupMenu();
    QWidget* CreateCapturePanel();

    void PaintBox1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBoxLeft1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBoxRight1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBoxTime1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBox1ContextPopup(TPaintBox& sender, const QPoint& position);
    // The pass under the pointer, read off in LblCursor and marked by a line.
    void PaintBox1Pointer(TPaintBox& sender, const QPoint* position);
    void PaintBox1Press(TPaintBox& sender, QMouseEvent& event);
    void PaintBox1Drag(TPaintBox& sender, QMouseEvent& event);
    void PaintBox1Release(TPaintBox& sender, QMouseEvent& event);
    void PaintBox1Wheel(TPaintBox& sender, QWheelEvent& event);
    bool PaintBox1Key(TPaintBox& sender, QKeyEvent& event);

    // A capture: the pass that fired a trigger, of the live history or the recording.
    struct Capture {
        int number;
        bool recording;
        uint64_t seq;
        QString name;
    };

    PassHistory& ShownHistory();
    PlotView& ShownView();
    const PassHistory& ShownHistory() const { return History(); }
    const PlotView& ShownView() const { return View(); }
    // Whether `history` meets the armed trigger at pass `seq` after the pass before it.
    bool Fires(const PassHistory& history, uint64_t seq, bool goSent) const;
    // The trigger as the controls give it, for the motor of the tab on top.
    std::optional<Trigger> TriggerFromControls() const;
    // A trigger fired at pass `seq` of the history shown: kept, listed and shown.
    void Fire(uint64_t seq);
    // The view around a capture's trigger, the pre-trigger share of its width before it.
    void ShowCapture(const Capture& capture);
    const Capture* ShownCapture() const;
    // The captures of the history shown that are ticked, with the time each is moved by to lie
    // over the reference: cursor A, or the newest capture's trigger.
    std::vector<std::pair<const Capture*, double>> Overlays() const;
    QString CaptureDifferences() const;
    void ListCapturesChange();

    // Everything shown again after the view or the history changed.
    void Refresh();
    void ShowReadOuts();
    bool UnitsShown() const;
    // The units the scales show: those of the newest pass in view.
    MotionUnits ScaleUnits(const PlotView::Range& range) const;
    // The pass nearest in time to pixel column `x` of a plot.
    std::optional<uint64_t> PassAt(int x) const;
    double PlotWidth() const;

    void WriteChosenFile(const QString& caption, const QString& kind, const QStringList& filters,
                         const QByteArray& data);

    TickClock clock_;
    PassHistory history_; // live
    PlotView view_;
    std::unique_ptr<PassHistory> recording_;
    PlotView recordingView_;
    bool onRecording_ = false;
    std::optional<Trigger> armed_;
    std::array<bool, kMotors> goSent_{};
    std::deque<Capture> captures_; // the last kKeptCaptures, oldest first
    int nextCapture_ = 1;
    std::optional<int> shownCapture_; // by number, while the view shows it
    static constexpr size_t kKeptCaptures = 8;
    const UnitsState* units_ = nullptr;
    bool shown_ = false;
    int popupMotor_ = 0;
    int pointerMotor_ = 0;
    std::optional<int> pointerX_; // over a plot

    // A press on a plot: a click sets a cursor, a drag pans.
    std::optional<int> pressX_;
    int lastDragX_ = 0;
    bool dragged_ = false;

    QTabWidget* PageControl = nullptr;
    std::array<MotorTab, kMotors> tabs_;
    QLabel* LblRed = nullptr;
    QLabel* LblYellow = nullptr;
    QLabel* LblGreen = nullptr;
    QLabel* LblBlue = nullptr;
    QLabel* LblXAxis = nullptr;
    QLabel* LblXTiming = nullptr;
    QLabel* LblCursor = nullptr;
    QLabel* LblMeasure = nullptr;
    QCheckBox* CheckStop = nullptr;
    QPushButton* BtnPause = nullptr;
    QPushButton* BtnClear = nullptr;
    QComboBox* CbSource = nullptr;
    QComboBox* CbTrigger = nullptr;
    TFloatSpinEdit* EditTriggerLevel = nullptr;
    TSpinEdit* EditPreTrigger = nullptr;
    QPushButton* BtnArm = nullptr;
    QLabel* LblTrigger = nullptr;
    QListWidget* ListCaptures = nullptr;
    QMenu* PopupPlot = nullptr;
    QAction* MenuSavePicture = nullptr;
    QAction* MenuExportData = nullptr;
    QAction* MenuOpenRecording = nullptr;
};

} // namespace vrx
