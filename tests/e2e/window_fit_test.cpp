// Every window fits a laptop screen at 150 % scaling: 1920 x 1080 is 1280 x 720
// device-independent pixels there, 680 of them above the task bar. Run with
// QT_SCALE_FACTOR=1.5 on such a screen (CTest does, on a virtual X server).

#include "e2e/program_fixture.h"

#include <QScreen>

namespace vrx::test {
namespace {

constexpr QSize kRoom(1280, 680);
// What a title bar and borders take where no window manager draws them (a virtual X server):
// Windows 10 at 150 % draws about 31 pixels of caption and 8 of border.
constexpr QSize kFrameWithoutManager(2 * 8, 31 + 8);

using WindowFitTest = ProgramTest;

TEST_F(WindowFitTest, EveryWindowWithItsFrameFitsTheScreenOfALaptopAt150Percent) {
    OpenSimulated(QStringLiteral("52x"));
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->objectName().startsWith(QStringLiteral("Form"))) {
            continue;
        }
        ++windows;
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w)) << w->objectName().toStdString();
        QSize frame = w->frameGeometry().size();
        if (frame == w->geometry().size()) {
            frame += kFrameWithoutManager;
        }
        const std::string name = w->objectName().toStdString();
        EXPECT_LE(frame.width(), kRoom.width()) << name;
        EXPECT_LE(frame.height(), kRoom.height()) << name << " is " << frame.height() << " tall";
        w->hide();
    }
    EXPECT_GE(windows, 7);
}

} // namespace
} // namespace vrx::test
