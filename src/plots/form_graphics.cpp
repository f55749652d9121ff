#include "plots/form_graphics.h"

#include "controls/atomic_file.h"
#include "controls/file_dialog.h"
#include "controls/message_box.h"
#include "plots/paint_box.h"
#include "plots/plot_csv.h"
#include "plots/plot_cursor.h"
#include "plots/plot_painter.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

namespace vrx {

TFormGraphics::TFormGraphics(QWidget* parent, TickClock clock)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      model_(std::move(clock)) {
    setObjectName(QStringLiteral("FormGraphics"));
    setWindowTitle(QStringLiteral("Graphic Display"));
    CreateControls();
    ShowInterval(); // the model starts cleared
}

void TFormGraphics::AdvanceColumn() {
    const PlotModel::Advance advance = model_.AdvanceColumn(CheckStop->isChecked());
    if (!advance.added) {
        return; // frozen: the label keeps its text
    }
    if (shown_) {
        for (size_t m = 0; m < tabs_.size(); ++m) {
            tabs_[m].PaintBox->update();
            if (advance.rescaled[m]) {
                tabs_[m].PaintBoxLeft->update();
                tabs_[m].PaintBoxRight->update();
            }
        }
    }
    ShowInterval();
    if (cursorColumn_ >= 0) {
        ShowCursor(); // the pass under the pointer moved on
    }
}

void TFormGraphics::AddPosition(int value, int motor) {
    model_.AddPosition(value, motor);
}

void TFormGraphics::AddVelocity(int value, int motor) {
    model_.AddVelocity(value, motor);
}

void TFormGraphics::AddAcceleration(int value, int motor) {
    model_.AddAcceleration(value, motor);
}

void TFormGraphics::AddTargetVelocity(int value, int motor) {
    model_.AddTargetVelocity(value, motor);
}

void TFormGraphics::ShowInterval() {
    const int64_t shown = model_.Interval().Shown();
    const QString text = shown < 0 ? QStringLiteral("---") : QString::number(shown);
    if (LblXTiming->text() != text) {
        LblXTiming->setText(text);
    }
}

void TFormGraphics::BtnClearClick() {
    model_.Clear();
    ShowInterval();
    for (const MotorTab& tab : tabs_) {
        tab.PaintBoxLeft->update();
        tab.PaintBox->update();
        tab.PaintBoxRight->update();
    }
}

void TFormGraphics::PaintBox1Paint(TPaintBox& sender, QPainter& canvas) {
    PaintPlotCurves(canvas, model_, sender.Tag);
    if (sender.Tag == cursorMotor_ && cursorColumn_ >= 0) {
        canvas.setPen(QPen(QColor(160, 160, 160), 1));
        canvas.drawLine(cursorColumn_, 0, cursorColumn_, sender.height() - 1);
    }
}

void TFormGraphics::PaintBox1Pointer(TPaintBox& sender, const QPoint* position) {
    const int column = position != nullptr ? position->x() : -1;
    if (column == cursorColumn_ && sender.Tag == cursorMotor_) {
        return;
    }
    if (cursorColumn_ >= 0) {
        tabs_[static_cast<size_t>(cursorMotor_)].PaintBox->update();
    }
    cursorMotor_ = sender.Tag;
    cursorColumn_ = column;
    if (cursorColumn_ >= 0) {
        sender.update();
    }
    ShowCursor();
}

void TFormGraphics::SetUnits(const UnitsState* units) {
    if (units_ != nullptr) {
        disconnect(units_, nullptr, this, nullptr);
    }
    units_ = units;
    if (units_ != nullptr) {
        connect(units_, &UnitsState::changed, this, &TFormGraphics::ShowUnits);
    }
    ShowUnits();
}

void TFormGraphics::ShowUnits() {
    for (const MotorTab& tab : tabs_) {
        tab.PaintBoxLeft->update();
        tab.PaintBoxRight->update();
    }
    if (cursorColumn_ >= 0) {
        ShowCursor();
    }
}

void TFormGraphics::ShowCursor() {
    LblCursor->setText(
        QString::fromStdString(CursorText(model_, cursorMotor_, cursorColumn_, units_)));
}

void TFormGraphics::PaintBoxLeft1Paint(TPaintBox& sender, QPainter& canvas) {
    PaintScaleStrip(canvas, model_, sender.Tag, ScaleStrip::Left, sender.width(), units_);
}

void TFormGraphics::PaintBoxRight1Paint(TPaintBox& sender, QPainter& canvas) {
    PaintScaleStrip(canvas, model_, sender.Tag, ScaleStrip::Right, sender.width(), units_);
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
    const std::string csv = PlotCsv(model_, popupMotor_);
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
