// vrx630-screenshots OUTDIR PORT: the pictures of the README, taken of the real windows against
// a board. Opens PORT ("COM5", a device, or a "Simulated board (...)" label), lets motor 2 run
// in VELOCITY mode while a recording runs, and saves the main window and the register window
// as OUTDIR/main-window.png and OUTDIR/register-window.png. On a display with a window manager
// (Windows, Wine) the pictures show the windows' frames, as the screen does.

#include "app/program_windows.h"
#include "controls/file_dialog.h"
#include "controls/spin_edit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cstdio>
#include <functional>

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

// The window as the screen shows it, frame included where there is one.
bool Save(QWidget& window, const QString& path) {
    window.raise();
    QTest::qWait(500); // the window manager draws the frame, the window repaints
    QPixmap picture;
    if (window.frameGeometry() != window.geometry() && window.screen() != nullptr) {
        const QRect frame = window.frameGeometry();
        picture =
            window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    if (picture.isNull()) {
        picture = window.grab();
    }
    return picture.save(path);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vrx630-screenshots OUTDIR PORT\n");
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
    Find<QComboBox>(main, "CbRampMode2")->setCurrentIndex(2); // VELOCITY
    Find<vrx::TSpinEdit>(main, "EditVTarget2")->setValue(-700);
    Find<vrx::TSpinEdit>(main, "EditAMax2")->setValue(200);
    Find<QPushButton>(main, "BtnGo2")->click();
    Find<QPushButton>(main, "BtnRecord")->click();
    QTest::qWait(4500);
    if (!Save(main, out.filePath(QStringLiteral("main-window.png")))) {
        return 1;
    }

    Find<QPushButton>(main, "BtnCmd630")->click();
    windows.registers.move(80, 80);
    QTest::qWait(1500); // the page's values are read
    const bool saved = Save(windows.registers, out.filePath(QStringLiteral("register-window.png")));
    main.close();
    return saved ? 0 : 1;
}
