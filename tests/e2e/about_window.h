#pragma once
// The About window as a test meets it: read when it opens, closed with its OK button, and the
// notices it must show.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

namespace vrx::test {

// Watches for the About window from a timer, which runs in the window's own modal loop: takes
// its texts and closes it. Any other modal window is closed unread, so a test never hangs on it.
class AboutWatch {
public:
    AboutWatch() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start();
    }
    // Whether the About window came and was closed again.
    bool Done() const { return done_; }
    // Its labels and notices, as shown.
    const QString& Shown() const { return shown_; }

private:
    void Look() {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr) {
            return;
        }
        if (window->objectName() != QLatin1String("FormAbout")) {
            window->close();
            return;
        }
        timer_.stop();
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            shown_ += label->text() + QLatin1Char('\n');
        }
        shown_ += window->findChild<QTextBrowser*>(QStringLiteral("MemoNotices"))->toPlainText();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("BtnAboutOk")),
                          Qt::LeftButton);
        done_ = !window->isVisible();
    }

    QTimer timer_;
    QString shown_;
    bool done_ = false;
};

// The program's licence and the notice of every library linked in; a Windows program also
// carries Debian's notices of Qt's source with what it builds in, of the MinGW-w64 runtime and
// of GCC's runtime, all linked statically.
inline void ExpectEveryNotice(const QString& shown) {
    for (const char* notice :
         {"MIT License", "Qt 6 (Core, Gui, Widgets)", "apt-get source qt6-base=", "toml++", "CLI11",
          "nlohmann/json", "pybind11", "GNU LESSER GENERAL PUBLIC LICENSE",
          "GNU GENERAL PUBLIC LICENSE",
#ifdef _WIN32
          "src/3rdparty/freetype/", "mingw-w64-libraries/winpthreads/",
          "GCC RUNTIME LIBRARY EXCEPTION"
#endif
         }) {
        EXPECT_TRUE(shown.contains(QLatin1String(notice))) << notice;
    }
}

} // namespace vrx::test
