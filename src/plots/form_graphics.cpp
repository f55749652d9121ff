#include "plots/form_graphics.h"

#include "controls/atomic_file.h"
#include "controls/file_dialog.h"
#include "controls/message_box.h"
#include "controls/units_state.h"
#include "plots/paint_box.h"
#include "plots/plot_csv.h"
#include "plots/plot_cursor.h"
#include "plots/plot_painter.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vrx {

namespace {

// A press that moves this far is a drag, not a click.
constexpr int kDragPixels = 3;
// One notch of the wheel, one + or -: the view a fifth narrower or wider.
constexpr double kZoomStep = 0.8;
// Left and Right move the view by this share of its width.
constexpr double kPanShare = 0.1;

bool Standing(const PassRow& row) {
    for (int m = 0; m < TFormGraphics::kMotors; ++m) {
        if (row.values[size_t(4 * m + 1)] != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

TFormGraphics::TFormGraphics(QWidget* parent, TickClock clock, size_t maxPasses)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      clock_(std::move(clock)), history_(maxPasses) {
    setObjectName(QStringLiteral("FormGraphics"));
    setWindowTitle(QStringLiteral("Graphic Display"));
    CreateControls();
    Refresh();
}

void TFormGraphics::AddPass(const PassRow& row) {
    // "Stop when velocity = 0": a pass of standing motors after one is not kept.
    if (CheckStop->isChecked() && !history_.Empty() && Standing(row) &&
        Standing(history_.Pass(history_.EndSeq() - 1).row)) {
        return;
    }
    history_.Append(clock_(), row, units_ != nullptr ? units_->Units() : MotionUnits{});
    // Every pass is tested, whatever is shown: none is missed.
    const uint64_t newest = history_.EndSeq() - 1;
    if (armed_ && !onRecording_ && newest > history_.FirstSeq() &&
        Fires(history_, newest, goSent_[size_t(armed_->motor)])) {
        Fire(newest);
    }
    goSent_.fill(false);
    Refresh();
}

void TFormGraphics::MotorCommanded(int motor) {
    if (motor >= 0 && motor < kMotors) {
        goSent_[size_t(motor)] = true;
    }
}

const PassHistory& TFormGraphics::History() const {
    return onRecording_ && recording_ ? *recording_ : history_;
}

const PlotView& TFormGraphics::View() const {
    return onRecording_ && recording_ ? recordingView_ : view_;
}

PassHistory& TFormGraphics::ShownHistory() {
    return onRecording_ && recording_ ? *recording_ : history_;
}

PlotView& TFormGraphics::ShownView() {
    return onRecording_ && recording_ ? recordingView_ : view_;
}

void TFormGraphics::Refresh() {
    const std::string mean = MeanPassText(ShownHistory());
    if (LblXTiming->text().toStdString() != mean) {
        LblXTiming->setText(QString::fromStdString(mean));
    }
    const QString pause =
        ShownView().Following() ? QStringLiteral("&Pause") : QStringLiteral("&Resume");
    if (BtnPause->text() != pause) {
        BtnPause->setText(pause);
    }
    if (shown_) {
        for (const MotorTab& tab : tabs_) {
            // Only the tab on top paints; the others are repainted when they come up.
            tab.PaintBoxLeft->update();
            tab.PaintBox->update();
            tab.PaintBoxRight->update();
            tab.PaintBoxTime->update();
        }
    }
    ShowReadOuts();
}

bool TFormGraphics::UnitsShown() const {
    return units_ != nullptr && units_->Shown();
}

void TFormGraphics::ShowReadOuts() {
    // The pass under a pointer that rests on a live plot changes as the plot moves on.
    QString cursor;
    if (const auto seq = pointerX_ ? PassAt(*pointerX_) : std::nullopt) {
        cursor = QString::fromStdString(
            CursorText(ShownHistory().Pass(*seq), pointerMotor_, UnitsShown()));
    }
    if (LblCursor->text() != cursor) {
        LblCursor->setText(cursor);
    }
    const int motor = PageControl->currentIndex();
    const auto a = ShownView().CursorA(ShownHistory());
    const auto b = ShownView().CursorB(ShownHistory());
    QString measure;
    if (a && b) {
        measure = QString::fromStdString(
            MeasureText(ShownHistory().Pass(*a), ShownHistory().Pass(*b), motor, UnitsShown()));
    } else if (a || b) {
        measure = QStringLiteral("%1 at %2; %3 sets %4.")
                      .arg(a ? QStringLiteral("A") : QStringLiteral("B"),
                           QString::fromStdString(SecondsText(ShownHistory().TimeOf(a ? *a : *b))),
                           a ? QStringLiteral("Shift+click") : QStringLiteral("A click"),
                           a ? QStringLiteral("B") : QStringLiteral("A"));
    } else if (ShownHistory().Dropped()) {
        // A day of passes is held; older ones have gone.
        measure = QStringLiteral("The history holds the passes from %1 on.")
                      .arg(QString::fromStdString(
                          SecondsText(ShownHistory().TimeOf(ShownHistory().FirstSeq()))));
    }
    const QString differences = CaptureDifferences();
    if (!differences.isEmpty()) {
        measure += (measure.isEmpty() ? QString() : QStringLiteral("\n")) + differences;
    }
    if (LblMeasure->text() != measure) {
        LblMeasure->setText(measure);
    }
}

void TFormGraphics::SetUnits(const UnitsState* units) {
    if (units_ != nullptr) {
        disconnect(units_, nullptr, this, nullptr);
    }
    units_ = units;
    if (units_ != nullptr) {
        connect(units_, &UnitsState::changed, this, &TFormGraphics::Refresh);
    }
    Refresh();
}

MotionUnits TFormGraphics::ScaleUnits(const PlotView::Range& range) const {
    const auto [first, end] = PassesIn(ShownHistory(), range);
    if (first < end) {
        return ShownHistory().Pass(end - 1).units;
    }
    return units_ != nullptr ? units_->Units() : MotionUnits{};
}

void TFormGraphics::BtnClearClick() {
    history_.Clear();
    view_.Clear();
    // Captures of the live history go with it.
    std::erase_if(captures_, [](const Capture& c) { return !c.recording; });
    shownCapture_.reset();
    ListCapturesChange();
    Refresh();
}

void TFormGraphics::BtnPauseClick() {
    if (ShownView().Following()) {
        ShownView().Pause(ShownHistory());
    } else {
        ShownView().Resume();
        shownCapture_.reset();
    }
    Refresh();
}

double TFormGraphics::PlotWidth() const {
    return tabs_[0].PaintBox->width();
}

std::optional<uint64_t> TFormGraphics::PassAt(int x) const {
    const PlotView::Range range = ShownView().Shown(ShownHistory());
    return ShownHistory().Nearest(
        uint32_t(std::max(0.0, TimeAt(range, int(PlotWidth()), x + 0.5))));
}

void TFormGraphics::PaintBox1Paint(TPaintBox& sender, QPainter& canvas) {
    const PlotView::Range range = ShownView().Shown(ShownHistory());
    const int width = sender.width();
    const ScaleLimits limits = LimitsInView(ShownHistory(), sender.Tag, range);
    // Ticked captures first, paler, their triggers over the reference's.
    for (const auto& [capture, shift] : Overlays()) {
        PaintPlotCurves(canvas, ShownHistory(), sender.Tag, range, width, limits, true, shift);
    }
    PaintPlotCurves(canvas, ShownHistory(), sender.Tag, range, width, limits);
    const auto line = [&](std::optional<uint64_t> seq, const QColor& color) {
        if (seq && *seq >= ShownHistory().FirstSeq() && *seq < ShownHistory().EndSeq()) {
            const int x = PixelOf(range, width, ShownHistory().TimeOf(*seq));
            canvas.setPen(QPen(color, 1));
            canvas.drawLine(x, 0, x, sender.height() - 1);
        }
    };
    if (sender.Tag == pointerMotor_ && pointerX_) {
        line(PassAt(*pointerX_), QColor(160, 160, 160));
    }
    // The measuring cursors stand at the same time on every tab.
    line(ShownView().CursorA(ShownHistory()), QColor(255, 255, 255));
    line(ShownView().CursorB(ShownHistory()), QColor(0, 255, 255));
    if (const Capture* capture = ShownCapture()) {
        line(capture->seq, QColor(255, 0, 255)); // the trigger
    }
}

void TFormGraphics::PaintBoxLeft1Paint(TPaintBox& sender, QPainter& canvas) {
    const PlotView::Range range = ShownView().Shown(ShownHistory());
    PaintScaleStrip(canvas, LimitsInView(ShownHistory(), sender.Tag, range), ScaleStrip::Left,
                    sender.width(), units_, ScaleUnits(range), sender.Tag);
}

void TFormGraphics::PaintBoxRight1Paint(TPaintBox& sender, QPainter& canvas) {
    const PlotView::Range range = ShownView().Shown(ShownHistory());
    PaintScaleStrip(canvas, LimitsInView(ShownHistory(), sender.Tag, range), ScaleStrip::Right,
                    sender.width(), units_, ScaleUnits(range), sender.Tag);
}

void TFormGraphics::PaintBoxTime1Paint(TPaintBox& sender, QPainter& canvas) {
    PaintTimeStrip(canvas, ShownView().Shown(ShownHistory()), sender.width(), sender.height());
}

void TFormGraphics::PaintBox1Pointer(TPaintBox& sender, const QPoint* position) {
    pointerMotor_ = sender.Tag;
    pointerX_ = position != nullptr ? std::optional(position->x()) : std::nullopt;
    sender.update();
    ShowReadOuts();
}

void TFormGraphics::PaintBox1Press(TPaintBox& sender, QMouseEvent& event) {
    sender.setFocus(Qt::MouseFocusReason);
    if (event.button() == Qt::LeftButton) {
        pressX_ = int(event.position().x());
        lastDragX_ = *pressX_;
        dragged_ = false;
    }
}

void TFormGraphics::PaintBox1Drag(TPaintBox&, QMouseEvent& event) {
    if (!pressX_) {
        return;
    }
    const int x = int(event.position().x());
    if (!dragged_ && std::abs(x - *pressX_) < kDragPixels) {
        return;
    }
    dragged_ = true;
    // The history moves with the pointer.
    const double msPerPixel = ShownView().Shown(ShownHistory()).Span() / PlotWidth();
    ShownView().Pan(ShownHistory(), (lastDragX_ - x) * msPerPixel);
    lastDragX_ = x;
    Refresh();
}

void TFormGraphics::PaintBox1Release(TPaintBox&, QMouseEvent& event) {
    if (event.button() != Qt::LeftButton || !pressX_) {
        return;
    }
    if (!dragged_) {
        if (const auto seq = PassAt(*pressX_)) {
            ShownView().SetCursor(event.modifiers().testFlag(Qt::ShiftModifier), *seq);
        }
    }
    pressX_.reset();
    Refresh();
}

void TFormGraphics::PaintBox1Wheel(TPaintBox&, QWheelEvent& event) {
    const double notches = event.angleDelta().y() / 120.0;
    if (notches == 0) {
        return;
    }
    const double at =
        TimeAt(ShownView().Shown(ShownHistory()), int(PlotWidth()), event.position().x());
    ShownView().Zoom(ShownHistory(), std::pow(kZoomStep, notches), at);
    Refresh();
}

bool TFormGraphics::PaintBox1Key(TPaintBox&, QKeyEvent& event) {
    const PlotView::Range range = ShownView().Shown(ShownHistory());
    const double middle = (range.start + range.end) / 2;
    switch (event.key()) {
    case Qt::Key_Space:
        BtnPauseClick();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ShownView().Zoom(ShownHistory(), kZoomStep, middle);
        break;
    case Qt::Key_Minus:
        ShownView().Zoom(ShownHistory(), 1 / kZoomStep, middle);
        break;
    case Qt::Key_Left:
        ShownView().Pan(ShownHistory(), -kPanShare * range.Span());
        break;
    case Qt::Key_Right:
        ShownView().Pan(ShownHistory(), kPanShare * range.Span());
        break;
    case Qt::Key_Home:
        ShownView().ShowAll(ShownHistory());
        break;
    case Qt::Key_End:
        ShownView().Live();
        shownCapture_.reset();
        break;
    case Qt::Key_Escape:
        ShownView().ClearCursors();
        break;
    default:
        return false;
    }
    Refresh();
    return true;
}

void TFormGraphics::PaintBox1ContextPopup(TPaintBox& sender, const QPoint& position) {
    popupMotor_ = sender.Tag;
    PopupPlot->popup(sender.mapToGlobal(position));
}

// What is saved is taken when the command is chosen: the plot goes on while the dialog is open.
void TFormGraphics::MenuSavePictureClick() {
    const QPixmap picture = tabs_[static_cast<size_t>(popupMotor_)].TabMotor->grab();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    WriteChosenFile(QStringLiteral("Save Picture"), kPlotPictures,
                    {QStringLiteral("PNG images (*.png)"), QStringLiteral("All files (*)")}, png);
}

void TFormGraphics::MenuExportDataClick() {
    // While a capture is shown its trigger is time 0.
    const Capture* capture = ShownCapture();
    const std::string csv =
        PlotCsv(ShownHistory(), popupMotor_, ShownView().Shown(ShownHistory()),
                capture != nullptr ? int64_t(ShownHistory().TimeOf(capture->seq)) : 0);
    WriteChosenFile(QStringLiteral("Export Data"), kPlotData,
                    {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")},
                    QByteArray::fromStdString(csv));
}

void TFormGraphics::WriteChosenFile(const QString& caption, const QString& kind,
                                    const QStringList& filters, const QByteArray& data) {
    const QString path =
        AskForFile(this, {.save = true, .caption = caption, .filters = filters, .kind = kind});
    if (path.isEmpty()) {
        return;
    }
    const QString reason = WriteFileAtomically(path, data);
    if (!reason.isEmpty()) {
        ShowMessage(this,
                    QStringLiteral("The file %1 could not be written.\n%2")
                        .arg(QDir::toNativeSeparators(path), reason),
                    QMessageBox::Critical);
    }
}

void TFormGraphics::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shown_ = true;
}

void TFormGraphics::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        shown_ = false; // a minimised window keeps its repaints, as one that is merely covered
    }
}

void TFormGraphics::closeEvent(QCloseEvent* event) {
    shown_ = false;
    event->accept();
}

} // namespace vrx
