#pragma once
// TFormGraphics: the plot window. It is the polling cycle's plot feed: the samples of every
// pass and the column advance arrive here whether the window is shown or not, and go into the
// plot model; the window only asks for repaints while it is shown, and showing it paints the
// current state. Per motor a tab shows the curves between two scale strips; a context menu on
// each plot saves the tab as a picture or the motor's columns as a table.

#include "link/poll_cycle.h"
#include "plots/plot_model.h"
#include "serial/tick_clock.h"

#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace vrx {

class TPaintBox;
class UnitsState;

class TFormGraphics : public QWidget, public PlotFeed {
    Q_OBJECT
public:
    explicit TFormGraphics(QWidget* parent = nullptr, TickClock clock = MonotonicTickCount);

    void AdvanceColumn() override;
    void AddPosition(int value, int motor) override;
    void AddVelocity(int value, int motor) override;
    void AddAcceleration(int value, int motor) override;
    void AddTargetVelocity(int value, int motor) override;

    const PlotModel& Model() const { return model_; }
    // The scales and the cursor read-out show steps/s and steps/s² while `units` shows them.
    void SetUnits(const UnitsState* units);

public slots:
    void BtnClearClick();
    // The context menu's commands, for the motor whose plot opened the menu.
    void MenuSavePictureClick();
    void MenuExportDataClick();

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
    };

    void CreateControls();
    QWidget* CreateMotorTab(int motor);
    QWidget* CreateLegend();
    QWidget* CreateTimePanel();
    void CreatePopupMenu();

    void PaintBox1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBoxLeft1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBoxRight1Paint(TPaintBox& sender, QPainter& canvas);
    void PaintBox1ContextPopup(TPaintBox& sender, const QPoint& position);
    // The cursor: the column under the pointer, read off in LblCursor and marked by a line.
    void PaintBox1Pointer(TPaintBox& sender, const QPoint* position);
    void ShowCursor();
    // The scales and the cursor read-out again, in the units now in force.
    void ShowUnits();

    void ClearDisplay();
    void ShowInterval();
    void WriteChosenFile(const QString& caption, const QString& kind, const QStringList& filters,
                         const QByteArray& data);

    PlotModel model_;
    const UnitsState* units_ = nullptr;
    bool shown_ = false;
    int popupMotor_ = 0;
    int cursorMotor_ = 0;
    int cursorColumn_ = -1; // none

    QTabWidget* PageControl = nullptr;
    std::array<MotorTab, PlotModel::kMotors> tabs_;
    QLabel* LblRed = nullptr;
    QLabel* LblYellow = nullptr;
    QLabel* LblGreen = nullptr;
    QLabel* LblBlue = nullptr;
    QLabel* LblXAxis = nullptr;
    QLabel* LblXTiming = nullptr;
    QLabel* LblCursor = nullptr;
    QCheckBox* CheckStop = nullptr;
    QPushButton* BtnClear = nullptr;
    QMenu* PopupPlot = nullptr;
    QAction* MenuSavePicture = nullptr;
    QAction* MenuExportData = nullptr;
};

} // namespace vrx
