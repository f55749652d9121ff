// vrx630-screenshots OUTDIR PORT [--hold]: the pictures of the README, taken of the real windows
// against a board. Opens PORT ("COM5", a device, or a "Simulated board (...)" label), lets motor
// 2 run in VELOCITY mode at dividers 7/7 while a recording runs, and saves the main window, the
// register window and the plot window as OUTDIR/main-window.png, OUTDIR/register-window.png and
// OUTDIR/plot-window.png, as the program draws them; then moves motor 1 in RAMP mode, pauses the
// plot, zooms onto the move and sets the cursors at its start and its end, as
// OUTDIR/plot-measure.png; then catches two moves of motor 1 with the trigger and lays the first
// over the second, as OUTDIR/plot-captures.png. With --hold each window also waits, shown,
// while OUTDIR/<name>.ready exists (up to a minute), so that a program outside takes it from the
// screen, frame and all, and then removes the file.

#include "app/platform_defaults.h"
#include "app/program_windows.h"
#include "controls/file_dialog.h"
#include "controls/float_spin_edit.h"
#include "controls/spin_edit.h"
#include "plots/plot_reduction.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QTest::qWait(20);
    }
    return done();
}

template <class T = QWidget> T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QLatin1String(name));
    if (widget == nullptr) {
        std::fprintf(stderr, "vrx630-screenshots: no control %s\n", name);
        std::exit(1);
    }
    return widget;
}

// The window as the program draws it; with `hold`, shown until the picture from the screen is
// taken.
bool Save(QWidget& window, const QDir& out, const QString& name, bool hold) {
    window.raise();
    QTest::qWait(500); // the window repaints
    if (!window.grab().save(out.filePath(name + QStringLiteral(".png")))) {
        return false;
    }
    if (hold) {
        QFile ready(out.filePath(name + QStringLiteral(".ready")));
        ready.open(QIODevice::WriteOnly);
        ready.close();
        WaitFor([&] { return !ready.exists(); }, 60000);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    vrx::SetPlatformDefaults(); // as the program draws
    QApplication app(argc, argv);
    const bool hold = argc == 4 && QByteArray(argv[3]) == "--hold";
    if (argc != 3 && !hold) {
        std::fprintf(stderr, "usage: vrx630-screenshots OUTDIR PORT [--hold]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString port = QString::fromLocal8Bit(argv[2]);
    vrx::InitialiseApplication(app);
    QTemporaryDir scratch;
    vrx::ChooseFile = [&](QWidget*, const vrx::FileDialogRequest&) {
        return scratch.filePath(QStringLiteral("run.csv"));
    };
    vrx::TFormMain::Options options;
    options.settingsPath = scratch.filePath(QStringLiteral("Eval630.ini"));
    vrx::ProgramWindows windows(options);
    QWidget& main = windows.main;
    main.move(40, 40);
    main.show();

    Find<QComboBox>(main, "ComboCOM")->setEditText(port);
    Find<QPushButton>(main, "BtnOpen")->click();
    if (!WaitFor(
            [&] { return Find<QLabel>(main, "StaticInfo1")->text() == "The board is active."; },
            10000)) {
        std::fprintf(stderr, "vrx630-screenshots: the board on %s does not answer\n", argv[2]);
        return 1;
    }
    {
        // Motor 2's dividers 7/7, as a bench motor would have them: -700 is 1,335 steps/s then.
        const auto suspension = windows.main.Link().SuspendPolling();
        windows.main.Link().Transfer(
            vrx::Telegram::Make(vrx::RegisterByte(vrx::Motor2, 12, false), 0x007700));
    }
    Find<QComboBox>(main, "CbRampMode2")->setCurrentIndex(2); // VELOCITY
    Find<vrx::TSpinEdit>(main, "EditVTarget2")->setValue(-700);
    Find<vrx::TSpinEdit>(main, "EditAMax2")->setValue(200);
    Find<QPushButton>(main, "BtnGo2")->click();
    Find<QPushButton>(main, "BtnRecord")->click();
    QTest::qWait(4500);
    if (!Save(main, out, QStringLiteral("main-window"), hold)) {
        return 1;
    }

    Find<QPushButton>(main, "BtnCmd630")->click();
    windows.registers.move(80, 80);
    QTest::qWait(1500); // the page's values are read
    if (!Save(windows.registers, out, QStringLiteral("register-window"), hold)) {
        return 1;
    }

    // Motor 2's plot, its scales in steps/s and steps/s².
    Find<QPushButton>(main, "BtnGraphics")->click();
    windows.graphics.move(120, 120);
    Find<QTabWidget>(windows.graphics, "PageControl")->setCurrentIndex(1);
    QTest::qWait(1000);
    if (!Save(windows.graphics, out, QStringLiteral("plot-window"), hold)) {
        return 1;
    }

    // Motor 1 ramps 3000 steps at dividers 7/7; the plot paused, zoomed onto the move, measured.
    {
        const auto suspension = windows.main.Link().SuspendPolling();
        windows.main.Link().Transfer(
            vrx::Telegram::Make(vrx::RegisterByte(vrx::Motor1, 12, false), 0x007700));
    }
    Find<QComboBox>(main, "CbRampMode1")->setCurrentIndex(0); // RAMP
    Find<vrx::TSpinEdit>(main, "EditXTarget1")->setValue(3000);
    Find<vrx::TSpinEdit>(main, "EditVMax1")->setValue(1000);
    Find<vrx::TSpinEdit>(main, "EditAMax1")->setValue(60);
    Find<QPushButton>(main, "BtnGo1")->click();
    WaitFor([&] { return Find<QLabel>(main, "StaticXAct1")->text() == "3000"; }, 20000);
    QTest::qWait(1500);
    vrx::TFormGraphics& plot = windows.graphics;
    Find<QTabWidget>(plot, "PageControl")->setCurrentIndex(0);
    Find<QPushButton>(plot, "BtnPause")->click();
    QWidget* box = Find(plot, "PaintBox1");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    const vrx::PassHistory& history = plot.History();
    std::optional<uint64_t> start;
    std::optional<uint64_t> arrived;
    for (uint64_t seq = history.FirstSeq(); seq < history.EndSeq() && !arrived; ++seq) {
        const int32_t x = history.Value(seq, 0);
        if (!start && x != history.Value(history.FirstSeq(), 0)) {
            start = seq - 1;
        }
        if (start && x == 3000) {
            arrived = seq;
        }
    }
    if (!start || !arrived) {
        std::fprintf(stderr, "vrx630-screenshots: motor 1 did not move to 3000\n");
        return 1;
    }
    const auto pixel = [&](uint64_t seq) {
        return vrx::PixelOf(plot.View().Shown(history), box->width(), history.TimeOf(seq));
    };
    // Zoomed about the middle of the move until it takes most of the width.
    const double moveMs = history.TimeOf(*arrived) - history.TimeOf(*start);
    for (int notch = 0; notch < 40 && plot.View().Shown(history).Span() > 1.4 * moveMs; ++notch) {
        const QPointF at(pixel((*start + *arrived) / 2), 200);
        QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
    }
    // Dragged so the move's middle stands in the middle.
    const QPoint middle(pixel((*start + *arrived) / 2), 200);
    QTest::mousePress(box, Qt::LeftButton, {}, middle);
    for (int step = 1; step <= 10; ++step) {
        const QPoint to(middle.x() + (box->width() / 2 - middle.x()) * step / 10, 200);
        QMouseEvent move(QEvent::MouseMove, to, box->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(box, &move);
    }
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(box->width() / 2, 200));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(pixel(*start), 200));
    QTest::mouseClick(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(pixel(*arrived), 200));
    const QPoint over((pixel(*start) + pixel(*arrived)) / 2, 200);
    QMouseEvent hover(QEvent::MouseMove, over, box->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box, &hover);
    if (!Save(plot, out, QStringLiteral("plot-measure"), hold)) {
        return 1;
    }

    // Two moves of motor 1 caught as |V_ACTUAL| rises above 100 steps/s, the first laid over the
    // second: back to 0 at A_MAX 60, then out again at 120.
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_End);
    // Live, about six seconds wide: a move and its ramps fill the view.
    for (int key = 0; key < 40 && plot.View().Shown(history).Span() > 6000; ++key) {
        QTest::keyClick(box, Qt::Key_Plus);
    }
    Find<QComboBox>(plot, "CbTrigger")->setCurrentText(QStringLiteral("Velocity above"));
    Find<vrx::TFloatSpinEdit>(plot, "EditTriggerLevel")->setValue(100);
    const struct {
        int target;
        int aMax;
    } moves[] = {{0, 60}, {3000, 120}};
    for (const auto& move : moves) {
        Find<QPushButton>(plot, "BtnArm")->click();
        Find<vrx::TSpinEdit>(main, "EditXTarget1")->setValue(move.target);
        Find<vrx::TSpinEdit>(main, "EditAMax1")->setValue(move.aMax);
        Find<QPushButton>(main, "BtnGo1")->click();
        const QString target = QString::number(move.target);
        WaitFor([&] { return Find<QLabel>(main, "StaticXAct1")->text() == target; }, 20000);
        QTest::qWait(1000);
    }
    auto* captures = Find<QListWidget>(plot, "ListCaptures");
    for (int i = 0; i < captures->count(); ++i) {
        captures->item(i)->setCheckState(Qt::Checked);
    }
    const bool saved = Save(plot, out, QStringLiteral("plot-captures"), hold);
    main.close();
    return saved ? 0 : 1;
}
