// Pictures of the program's windows with the Windows platform, as a user sees them: at 100 %,
// and with --scale=1.5 at 150 %. Every kind of input shows its value, and the RAM grid shows all
// sixteen columns. The program's own platform defaults apply, as in main(); a virtual screen
// (DISPLAY) serves Wine's windows.
#include "app/platform_defaults.h"
#include "app/port_list.h"
#include "app/program_windows.h"
#include "registers/form_advanced.h"

#include "support/wait_for.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>

namespace vrx::test {
namespace {

class WindowPictures : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        TFormMain::Options options;
        options.settingsPath = dir.filePath("Eval630.ini");
        options.devDir = dir.path();
        program = std::make_unique<ProgramWindows>(options);
        program->main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->main));
    }
    void TearDown() override {
        program->main.close();
        program.reset();
    }

    // The pixels of text (dark grey to black) inside a line edit, in a picture of its window.
    static int TextPixels(QLineEdit* edit) {
        QWidget* window = edit->window();
        const QImage picture = window->grab().toImage();
        const qreal ratio = picture.devicePixelRatio();
        const QRect inside =
            QRect(edit->mapTo(window, QPoint(0, 0)), edit->size()).adjusted(1, 1, -1, -1);
        int dark = 0;
        for (int y = int(inside.top() * ratio); y < int(inside.bottom() * ratio); ++y) {
            for (int x = int(inside.left() * ratio); x < int(inside.right() * ratio); ++x) {
                dark += qGray(picture.pixel(x, y)) < 96 ? 1 : 0;
            }
        }
        return dark;
    }

    QTemporaryDir dir;
    std::unique_ptr<ProgramWindows> program;
};

TEST_F(WindowPictures, EveryInputOfTheMainWindowShowsItsValue) {
    QWidget& main = program->main;
    main.findChild<QComboBox*>("ComboCOM")->setEditText("COM5");
    main.findChild<QAbstractSpinBox*>("EditVMax1")->findChild<QLineEdit*>()->setText("888888");
    QTest::qWait(200); // painted
    for (const char* name : {"ComboCOM", "EditVMax1", "EditClockMHz"}) {
        QWidget* input = main.findChild<QWidget*>(name);
        ASSERT_NE(input, nullptr) << name;
        auto* edit = input->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_FALSE(edit->text().isEmpty()) << name;
        EXPECT_GT(TextPixels(edit), 20)
            << name << " \"" << edit->text().toStdString() << "\" is not drawn";
    }
}

TEST_F(WindowPictures, TheRamGridShowsAllSixteenColumns) {
    QWidget& registers = program->registers;
    registers.findChild<QTabWidget*>("PageControl")->setCurrentIndex(TFormAdvanced::kRamPage);
    registers.show(); // as its button does once a board is open
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&registers));
    auto* grid = registers.findChild<QTableWidget*>("StringGridHex");
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(WaitFor([&] { return grid->isVisible(); }));
    QTest::qWait(200);
    const int width = grid->viewport()->width();
    for (int column = 0; column < grid->columnCount(); ++column) {
        EXPECT_LE(grid->columnViewportPosition(column) + grid->columnWidth(column), width)
            << "column " << column << " of " << grid->columnCount() << " is cut off";
    }
    EXPECT_GE(grid->columnViewportPosition(0), 0);
    // The grid whole on its page, not cut off by the window.
    EXPECT_EQ(grid->visibleRegion().boundingRect(), grid->rect());
}

} // namespace
} // namespace vrx::test

// The program's platform defaults, as main() has them; --scale=F scales the windows by F.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scale=", 8) == 0) {
            qputenv("QT_SCALE_FACTOR", argv[i] + 8);
        }
    }
    vrx::SetPlatformDefaults();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    vrx::InitialiseApplication(app);
    return RUN_ALL_TESTS();
}
