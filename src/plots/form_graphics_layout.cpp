// The controls of the plot window and their places.
#include "controls/named.h"
#include "plots/form_graphics.h"

#include "controls/float_spin_edit.h"
#include "controls/spin_edit.h"
#include "plots/paint_box.h"
#include "plots/plot_painter.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace vrx {

namespace {

constexpr int kPlotWidth = 478;
constexpr int kPlotHeight = 434;
constexpr int kStripWidth = 90;      // room for a seven-digit position beside a four-digit scale
constexpr int kTimeStripHeight = 18; // ticks and a line of numbers

void PaintBlack(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A black, sunken panel around one surface.
QFrame* BlackPanel(QWidget* surface, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PaintBlack(panel);
    auto* box = new QHBoxLayout(panel);
    box->setContentsMargins(1, 1, 1, 1);
    box->addWidget(surface);
    return panel;
}

QLabel* ColouredLabel(const QString& name, const QString& text, PlotSeries series,
                      QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, PlotColor(series));
    label->setPalette(palette);
    return label;
}

} // namespace

void TFormGraphics::CreateControls() {
    PageControl = Named(new QTabWidget(this), QStringLiteral("PageControl"));
    for (int m = 0; m < kMotors; ++m) {
        PageControl->addTab(CreateMotorTab(m), QStringLiteral("Motor %1").arg(m + 1));
    }
    // The measurement reads the motor of the tab on top.
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { ShowReadOuts(); });

    CheckStop = Named(new QCheckBox(QStringLiteral("&Stop when velocity = 0"), this),
                      QStringLiteral("CheckStop"));
    CheckStop->setToolTip(QStringLiteral(
        "If activated, the graphic display will be stopped when the motors are not running."));
    BtnPause = Named(new QPushButton(QStringLiteral("&Pause"), this), QStringLiteral("BtnPause"));
    BtnPause->setToolTip(QStringLiteral(
        "Click here to hold the view while the history goes on; Resume shows every pass since."));
    connect(BtnPause, &QPushButton::clicked, this, &TFormGraphics::BtnPauseClick);
    BtnClear =
        Named(new QPushButton(QStringLiteral("&Clear display"), this), QStringLiteral("BtnClear"));
    BtnClear->setToolTip(QStringLiteral("Click this button to clear the graphic display."));
    connect(BtnClear, &QPushButton::clicked, this, &TFormGraphics::BtnClearClick);

    // One row under the plots, so the window still fits a laptop's screen at 150 %.
    auto* commands = new QHBoxLayout();
    commands->addWidget(CreateTimePanel());
    commands->addWidget(CheckStop);
    commands->addStretch();
    commands->addWidget(BtnPause);
    commands->addWidget(BtnClear);

    // Beside the legend, as many lines as the longest read-out takes at the column's width, so
    // none is ever cut and the window keeps its size as the texts change. The measurement, which
    // grows with the captures laid over the view, has the panel beside the plots.
    LblCursor = Named(new QLabel(this), QStringLiteral("LblCursor"));
    LblMeasure = Named(new QLabel(this), QStringLiteral("LblMeasure"));
    for (QLabel* label : {LblCursor, LblMeasure}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    LblCursor->setFixedHeight(4 * LblCursor->fontMetrics().lineSpacing());
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(CreateLegend());
    bottom->addWidget(LblCursor, 1, Qt::AlignTop);

    auto* plots = new QVBoxLayout();
    plots->addWidget(PageControl);
    plots->addLayout(commands);
    plots->addLayout(bottom);
    auto* form = new QHBoxLayout(this);
    form->addLayout(plots);
    form->addWidget(CreateCapturePanel());
    form->setSizeConstraint(QLayout::SetFixedSize); // fixed border

    CreatePopupMenu();
}

QWidget* TFormGraphics::CreateMotorTab(int motor) {
    const QString n = QString::number(motor + 1);
    MotorTab& tab = tabs_[static_cast<size_t>(motor)];
    tab.TabMotor = Named(new QWidget(), QStringLiteral("TabMotor") + n);

    tab.PaintBoxLeft =
        Named(new TPaintBox(motor, tab.TabMotor), QStringLiteral("PaintBoxLeft") + n);
    tab.PaintBoxLeft->setFixedSize(kStripWidth, kPlotHeight);
    tab.PaintBoxLeft->setToolTip(
        QStringLiteral("The scale is automatically adapted to fit the curve."));
    tab.PaintBoxLeft->OnPaint = [this](TPaintBox& s, QPainter& c) { PaintBoxLeft1Paint(s, c); };

    tab.PaintBox = Named(new TPaintBox(motor, tab.TabMotor), QStringLiteral("PaintBox") + n);
    tab.PaintBox->setFixedSize(kPlotWidth, kPlotHeight); // later columns are clipped
    tab.PaintBox->OnPaint = [this](TPaintBox& s, QPainter& c) { PaintBox1Paint(s, c); };
    tab.PaintBox->SetOnPointer(
        [this](TPaintBox& s, const QPoint* position) { PaintBox1Pointer(s, position); });
    tab.PaintBox->setFocusPolicy(Qt::ClickFocus); // the keys zoom, pan and pause it
    tab.PaintBox->setToolTip(
        QStringLiteral("Wheel or + and -: zoom; drag, Left and Right: move; Home: the whole "
                       "history; End: live. Click: cursor A, Shift+click: cursor B, Esc: none."));
    tab.PaintBox->OnPress = [this](TPaintBox& s, QMouseEvent& e) { PaintBox1Press(s, e); };
    tab.PaintBox->OnDrag = [this](TPaintBox& s, QMouseEvent& e) { PaintBox1Drag(s, e); };
    tab.PaintBox->OnRelease = [this](TPaintBox& s, QMouseEvent& e) { PaintBox1Release(s, e); };
    tab.PaintBox->OnWheel = [this](TPaintBox& s, QWheelEvent& e) { PaintBox1Wheel(s, e); };
    tab.PaintBox->OnKey = [this](TPaintBox& s, QKeyEvent& e) { return PaintBox1Key(s, e); };
    tab.PaintBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tab.PaintBox, &QWidget::customContextMenuRequested, this,
            [this, box = tab.PaintBox](const QPoint& at) { PaintBox1ContextPopup(*box, at); });

    tab.PaintBoxRight =
        Named(new TPaintBox(motor, tab.TabMotor), QStringLiteral("PaintBoxRight") + n);
    tab.PaintBoxRight->setFixedSize(kStripWidth, kPlotHeight);
    tab.PaintBoxRight->setToolTip(
        QStringLiteral("The scales are automatically adapted to fit the curves."));
    tab.PaintBoxRight->OnPaint = [this](TPaintBox& s, QPainter& c) { PaintBoxRight1Paint(s, c); };

    tab.PaintBoxTime =
        Named(new TPaintBox(motor, tab.TabMotor), QStringLiteral("PaintBoxTime") + n);
    tab.PaintBoxTime->setFixedSize(kPlotWidth, kTimeStripHeight);
    tab.PaintBoxTime->setToolTip(QStringLiteral("The time since the first pass, in seconds."));
    tab.PaintBoxTime->OnPaint = [this](TPaintBox& s, QPainter& c) { PaintBoxTime1Paint(s, c); };

    auto* grid = new QGridLayout(tab.TabMotor);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    int column = 0;
    for (TPaintBox* surface : {tab.PaintBoxLeft, tab.PaintBox, tab.PaintBoxRight}) {
        PaintBlack(surface);
        grid->addWidget(BlackPanel(surface, tab.TabMotor), 0, column++);
    }
    PaintBlack(tab.PaintBoxTime);
    grid->addWidget(BlackPanel(tab.PaintBoxTime, tab.TabMotor), 1, 1);
    return tab.TabMotor;
}

QWidget* TFormGraphics::CreateLegend() {
    auto* legend = Named(new QFrame(this), QStringLiteral("PnlLegend"));
    legend->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PaintBlack(legend); // the yellow line reads only on black
    LblRed =
        ColouredLabel(QStringLiteral("LblRed"), QStringLiteral("Red: Velocity (absolute value)"),
                      PlotSeries::Velocity, legend);
    LblYellow = ColouredLabel(QStringLiteral("LblYellow"),
                              QStringLiteral("Yellow: Target Velocity (absolute value)"),
                              PlotSeries::TargetVelocity, legend);
    LblGreen = ColouredLabel(QStringLiteral("LblGreen"), QStringLiteral("Green: Position"),
                             PlotSeries::Position, legend);
    LblBlue = ColouredLabel(QStringLiteral("LblBlue"),
                            QStringLiteral("Blue: Acceleration (absolute value)"),
                            PlotSeries::Acceleration, legend);
    auto* lines = new QVBoxLayout(legend);
    // Close lines: as tall as the two read-outs beside it.
    lines->setContentsMargins(4, 2, 4, 2);
    lines->setSpacing(0);
    for (QLabel* label : {LblRed, LblYellow, LblGreen, LblBlue}) {
        lines->addWidget(label);
    }
    return legend;
}

QWidget* TFormGraphics::CreateTimePanel() {
    auto* panel = Named(new QFrame(this), QStringLiteral("PnlTime"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setToolTip(QStringLiteral("The x axis time interval is shown here."));
    LblXAxis = Named(new QLabel(QStringLiteral("Time interval (ms): "), panel),
                     QStringLiteral("LblXAxis"));
    LblXTiming = Named(new QLabel(panel), QStringLiteral("LblXTiming"));
    LblXTiming->setMinimumWidth(
        LblXTiming->fontMetrics().horizontalAdvance(QStringLiteral("88888")));
    auto* line = new QHBoxLayout(panel);
    line->setSpacing(0);
    line->addWidget(LblXAxis);
    line->addWidget(LblXTiming);
    return panel;
}

QWidget* TFormGraphics::CreateCapturePanel() {
    auto* panel = Named(new QWidget(this), QStringLiteral("PnlCapture"));
    constexpr int kPanelWidth = 260;
    panel->setFixedWidth(kPanelWidth);

    CbSource = Named(new QComboBox(panel), QStringLiteral("CbSource"));
    CbSource->addItem(QStringLiteral("Live"));
    CbSource->setToolTip(QStringLiteral("The live history, or a recording opened from the "
                                        "plot's right-click menu."));
    connect(CbSource, &QComboBox::currentIndexChanged, this, &TFormGraphics::CbSourceChange);

    auto* trigger =
        Named(new QGroupBox(QStringLiteral(" Trigger "), panel), QStringLiteral("GrpTrigger"));
    CbTrigger = Named(new QComboBox(trigger), QStringLiteral("CbTrigger"));
    CbTrigger->addItems({QStringLiteral("Off"), QStringLiteral("Go!"),
                         QStringLiteral("X_ACTUAL = X_TARGET"), QStringLiteral("REFERENCE_SWITCH"),
                         QStringLiteral("Velocity above"), QStringLiteral("Velocity below")});
    CbTrigger->setToolTip(
        QStringLiteral("What catches the moment, for the motor of the tab on top."));
    EditTriggerLevel = Named(new TFloatSpinEdit(trigger), QStringLiteral("EditTriggerLevel"));
    EditTriggerLevel->setRange(0, 1e9);
    EditTriggerLevel->setDecimals(1);
    EditTriggerLevel->setValue(1000);
    EditTriggerLevel->setToolTip(
        QStringLiteral("The level of |V_ACTUAL|: raw, or in steps/s while steps/s are shown."));
    EditPreTrigger = Named(new TSpinEdit(trigger), QStringLiteral("EditPreTrigger"));
    EditPreTrigger->setRange(0, 100);
    EditPreTrigger->setValue(20);
    EditPreTrigger->setToolTip(QStringLiteral("The share of the view's width before the trigger."));
    BtnArm = Named(new QPushButton(QStringLiteral("&Arm"), trigger), QStringLiteral("BtnArm"));
    BtnArm->setToolTip(QStringLiteral("Click here to catch the next time the condition comes true; "
                                      "in a recording, after the view."));
    connect(BtnArm, &QPushButton::clicked, this, &TFormGraphics::BtnArmClick);
    LblTrigger = Named(new QLabel(trigger), QStringLiteral("LblTrigger"));
    LblTrigger->setWordWrap(true);
    LblTrigger->setFixedHeight(2 * LblTrigger->fontMetrics().lineSpacing());
    auto* grid = new QGridLayout(trigger);
    grid->addWidget(CbTrigger, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Level:"), trigger), 1, 0);
    grid->addWidget(EditTriggerLevel, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Before (%):"), trigger), 2, 0);
    grid->addWidget(EditPreTrigger, 2, 1);
    grid->addWidget(BtnArm, 3, 1);
    grid->addWidget(LblTrigger, 4, 0, 1, 2);

    ListCaptures = Named(new QListWidget(panel), QStringLiteral("ListCaptures"));
    ListCaptures->setToolTip(QStringLiteral(
        "Tick a capture to lay it over the view; choose one to show it around its trigger."));
    ListCaptures->setFixedHeight(6 * ListCaptures->fontMetrics().lineSpacing());
    connect(ListCaptures, &QListWidget::itemChanged, this, [this] { Refresh(); });
    connect(ListCaptures, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        for (const Capture& c : captures_) {
            if (c.number == item->data(Qt::UserRole).toInt() &&
                c.recording == (onRecording_ && recording_ != nullptr)) {
                ShowCapture(c);
            }
        }
    });

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("Source:"), panel));
    column->addWidget(CbSource);
    column->addWidget(trigger);
    column->addWidget(new QLabel(QStringLiteral("Captures:"), panel));
    column->addWidget(ListCaptures);
    column->addWidget(LblMeasure, 1);
    return panel;
}

void TFormGraphics::CreatePopupMenu() {
    PopupPlot = Named(new QMenu(this), QStringLiteral("PopupPlot"));
    MenuSavePicture = Named(PopupPlot->addAction(QStringLiteral("Save Picture...")),
                            QStringLiteral("MenuSavePicture"));
    MenuExportData = Named(PopupPlot->addAction(QStringLiteral("Export Data...")),
                           QStringLiteral("MenuExportData"));
    connect(MenuSavePicture, &QAction::triggered, this, &TFormGraphics::MenuSavePictureClick);
    connect(MenuExportData, &QAction::triggered, this, &TFormGraphics::MenuExportDataClick);
    MenuOpenRecording = Named(PopupPlot->addAction(QStringLiteral("Open Recording...")),
                              QStringLiteral("MenuOpenRecording"));
    connect(MenuOpenRecording, &QAction::triggered, this, &TFormGraphics::MenuOpenRecordingClick);
}

} // namespace vrx
