// The plot window's trigger, its captures laid over the view, and recordings opened in place of
// the live history.
#include "plots/form_graphics.h"

#include "chip/quantity_format.h"
#include "controls/file_dialog.h"
#include "controls/float_spin_edit.h"
#include "controls/message_box.h"
#include "controls/spin_edit.h"
#include "controls/units_state.h"
#include "plots/plot_cursor.h"
#include "plots/plot_reduction.h"
#include "protocol/command_errors.h"
#include "protocol/recording_file.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

namespace vrx {

namespace {

// The items of CbTrigger, in their order; "Off" first.
constexpr TriggerKind kTriggerKinds[] = {TriggerKind::Go, TriggerKind::Arrived, TriggerKind::Switch,
                                         TriggerKind::Above, TriggerKind::Below};

} // namespace

bool TFormGraphics::Fires(const PassHistory& history, uint64_t seq, bool goSent) const {
    const HistoryPass before = history.Pass(seq - 1);
    const HistoryPass now = history.Pass(seq);
    return TriggerFires(*armed_, {before.row, before.units}, {now.row, now.units}, goSent);
}

std::optional<Trigger> TFormGraphics::TriggerFromControls() const {
    const int item = CbTrigger->currentIndex();
    if (item <= 0) {
        return std::nullopt;
    }
    Trigger t;
    t.kind = kTriggerKinds[item - 1];
    t.motor = PageControl->currentIndex();
    t.level = EditTriggerLevel->value();
    t.inSteps = UnitsShown();
    return t;
}

void TFormGraphics::BtnArmClick() {
    shownCapture_.reset();
    armed_ = TriggerFromControls();
    if (!armed_) {
        LblTrigger->setText(QStringLiteral("Choose a trigger first."));
        return;
    }
    const QString name = QString::fromStdString(TriggerText(*armed_));
    if (!onRecording_ || !recording_) {
        goSent_.fill(false);
        LblTrigger->setText(QStringLiteral("Armed: waiting for %1.").arg(name));
        Refresh();
        return;
    }
    // A recording is searched at once, from the end of the view on.
    const PassHistory& file = *recording_;
    const uint64_t from =
        std::max(file.FirstSeq() + 1, PassesIn(file, recordingView_.Shown(file)).second);
    for (uint64_t seq = from; seq < file.EndSeq(); ++seq) {
        if (Fires(file, seq, false)) {
            Fire(seq);
            return;
        }
    }
    armed_.reset();
    LblTrigger->setText(QStringLiteral("No %1 after the view.").arg(name));
    Refresh();
}

void TFormGraphics::Fire(uint64_t seq) {
    const QString name = QString::fromStdString(TriggerText(*armed_));
    armed_.reset();
    captures_.push_back({nextCapture_++, onRecording_ && recording_ != nullptr, seq, name});
    while (captures_.size() > kKeptCaptures) {
        captures_.pop_front();
    }
    LblTrigger->setText(
        QStringLiteral("Triggered at %1: %2")
            .arg(QString::fromStdString(SecondsText(ShownHistory().TimeOf(seq))), name));
    ListCapturesChange();
    ShowCapture(captures_.back());
}

void TFormGraphics::ShowCapture(const Capture& capture) {
    PassHistory& history = ShownHistory();
    PlotView& view = ShownView();
    const double span = view.Shown(history).Span();
    const double at = history.TimeOf(capture.seq);
    const double before = span * EditPreTrigger->value() / 100.0;
    view.ShowRange(at - before, at - before + span);
    shownCapture_ = capture.number;
    Refresh();
}

const TFormGraphics::Capture* TFormGraphics::ShownCapture() const {
    for (const Capture& c : captures_) {
        if (shownCapture_ && c.number == *shownCapture_ &&
            c.recording == (onRecording_ && recording_ != nullptr) &&
            c.seq >= ShownHistory().FirstSeq() && c.seq < ShownHistory().EndSeq()) {
            return &c;
        }
    }
    return nullptr;
}

void TFormGraphics::ListCapturesChange() {
    // The list shows the captures kept, newest last; ticks stay with their captures.
    QList<int> ticked;
    for (int i = 0; i < ListCaptures->count(); ++i) {
        if (ListCaptures->item(i)->checkState() == Qt::Checked) {
            ticked.append(ListCaptures->item(i)->data(Qt::UserRole).toInt());
        }
    }
    const QSignalBlocker quiet(ListCaptures);
    ListCaptures->clear();
    for (const Capture& c : captures_) {
        const PassHistory& history = c.recording && recording_ ? *recording_ : history_;
        const QString time = c.seq >= history.FirstSeq() && c.seq < history.EndSeq()
                                 ? QString::fromStdString(SecondsText(history.TimeOf(c.seq)))
                                 : QStringLiteral("gone");
        auto* item = new QListWidgetItem(
            QStringLiteral("%1: %2, %3").arg(c.number).arg(time, c.name), ListCaptures);
        item->setData(Qt::UserRole, c.number);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(c.number) ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<std::pair<const TFormGraphics::Capture*, double>> TFormGraphics::Overlays() const {
    std::vector<std::pair<const Capture*, double>> overlays;
    const bool recording = onRecording_ && recording_ != nullptr;
    const PassHistory& history = ShownHistory();
    const auto kept = [&](const Capture& c) {
        return c.recording == recording && c.seq >= history.FirstSeq() && c.seq < history.EndSeq();
    };
    const Capture* newest = nullptr;
    for (const Capture& c : captures_) {
        if (kept(c)) {
            newest = &c;
        }
    }
    if (newest == nullptr) {
        return overlays;
    }
    const auto a = ShownView().CursorA(history);
    const double reference = history.TimeOf(a ? *a : newest->seq);
    for (int i = 0; i < ListCaptures->count(); ++i) {
        if (ListCaptures->item(i)->checkState() != Qt::Checked) {
            continue;
        }
        const int number = ListCaptures->item(i)->data(Qt::UserRole).toInt();
        for (const Capture& c : captures_) {
            if (c.number == number && kept(c) && (a || &c != newest)) {
                overlays.emplace_back(&c, reference - history.TimeOf(c.seq));
            }
        }
    }
    return overlays;
}

QString TFormGraphics::CaptureDifferences() const {
    const PassHistory& history = ShownHistory();
    const int motor = PageControl->currentIndex();
    const auto [first, end] = PassesIn(history, ShownView().Shown(history));
    QStringList lines;
    for (const auto& [capture, shift] : Overlays()) {
        // Each pass in view against the capture's pass nearest the same time after the trigger.
        double velocity = 0;
        double position = 0;
        for (uint64_t seq = first; seq < end; ++seq) {
            const double t = double(history.TimeOf(seq)) - shift;
            if (t < 0) {
                continue;
            }
            const auto other = history.Nearest(uint32_t(t));
            const HistoryPass a = history.Pass(seq);
            const HistoryPass b = history.Pass(*other);
            const auto speed = [&](const HistoryPass& p) {
                const int32_t raw = p.row.values[size_t(4 * motor + 1)];
                return UnitsShown() ? p.units.Of(motor + 1).InUnit(UnitKind::Velocity, raw)
                                    : double(raw);
            };
            velocity = std::max(velocity, std::fabs(speed(a) - speed(b)));
            position = std::max(position, std::fabs(double(a.row.values[size_t(4 * motor)]) -
                                                    double(b.row.values[size_t(4 * motor)])));
        }
        const std::string v =
            UnitsShown() ? FormatInUnit(UnitKind::Velocity, velocity) : FormatQuantity(velocity);
        lines.append(
            QStringLiteral("capture %1: velocity %2, position %3 steps")
                .arg(capture->number)
                .arg(QString::fromStdString(v), QString::fromStdString(FormatQuantity(position))));
    }
    return lines.join(QStringLiteral("; "));
}

void TFormGraphics::MenuOpenRecordingClick() {
    const QString path = AskForFile(
        this, {.save = false,
               .caption = QStringLiteral("Open Recording"),
               .filters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")},
               .kind = kRecordings});
    if (path.isEmpty()) {
        return;
    }
    // Read whole into a history of its own: a refused file changes nothing.
    auto file = std::make_unique<PassHistory>();
    const MotionUnits units = units_ != nullptr ? units_->Units() : MotionUnits{};
    try {
        LoadRecording(QDir::toNativeSeparators(path).toStdString(),
                      [&](int64_t timeMs, const PassRow& row) {
                          file->Append(uint32_t(timeMs), row, units);
                      });
    } catch (const UsageError& e) {
        ShowMessage(this, QString::fromStdString(e.what()), QMessageBox::Critical);
        return;
    }
    recording_ = std::move(file);
    recordingView_ = PlotView();
    recordingView_.ShowAll(*recording_);
    std::erase_if(captures_, [](const Capture& c) { return c.recording; });
    shownCapture_.reset();
    armed_.reset();
    const QSignalBlocker quiet(CbSource);
    while (CbSource->count() > 1) {
        CbSource->removeItem(1);
    }
    CbSource->addItem(QFileInfo(path).fileName());
    CbSource->setCurrentIndex(1);
    onRecording_ = true;
    ListCapturesChange();
    Refresh();
}

void TFormGraphics::CbSourceChange() {
    onRecording_ = CbSource->currentIndex() == 1 && recording_ != nullptr;
    armed_.reset();
    shownCapture_.reset();
    LblTrigger->clear();
    Refresh();
}

} // namespace vrx
