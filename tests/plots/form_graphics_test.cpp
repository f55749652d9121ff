// The plot window on its own, offscreen: its controls, the drawing of known passes, the context
// menu's picture and data export, the clear and the freeze, and the read-out under the pointer.
#include "plots/form_graphics.h"

#include "controls/file_dialog.h"
#include "controls/spin_edit.h"
#include "controls/units_state.h"
#include "plots/plot_reduction.h"
#include "support/message_catcher.h"
#include "support/wait_for.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace vrx {
namespace {

// Rows of a known buffer: velocity 250 of 300, target velocity 100 of 100, position 3000 of
// 0..10000, acceleration 33 of 100; each drawn with its curve's offset.
constexpr int kVelocityRow = 431 - 350;
constexpr int kTargetVelocityRow = 431 - 420 - 3;
constexpr int kPositionRow = 431 - 126 - 2;
constexpr int kAccelerationRow = 431 - 138 + 1;

class FormGraphicsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form->show();
        savedDialog = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            asked << request.caption + " | " + request.filters.join(";;");
            return answer;
        };
    }
    void TearDown() override { ChooseFile = savedDialog; }

    // Known passes 100 ms apart for one motor; the others stand at 0.
    void FeedKnownBuffer(int motor, int passes) {
        for (int i = 0; i < passes; ++i) {
            now += 100;
            PassRow row;
            row.values[size_t(4 * motor)] = 3000;
            row.values[size_t(4 * motor + 1)] = -250;
            row.values[size_t(4 * motor + 2)] = 33;
            row.values[size_t(4 * motor + 3)] = 100;
            form->AddPass(row);
        }
    }
    template <class T = QWidget> T* Find(const QString& name) {
        T* widget = form->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QImage Grab(const QString& name) { return Find(name)->grab().toImage(); }
    // Opens a plot's context menu and chooses one of its commands.
    void ChooseFromMenu(const QString& plot, const QString& action) {
        QWidget* box = Find(plot);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                box->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(box, &event);
        auto* menu = Find<QMenu>("PopupPlot");
        ASSERT_TRUE(test::WaitFor([&] { return menu->isVisible(); }));
        QAction* chosen = menu->findChild<QAction*>(action);
        ASSERT_NE(chosen, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        test::Pump(50);
    }

    QTemporaryDir dir;
    uint32_t now = 5000;
    std::unique_ptr<TFormGraphics> form =
        std::make_unique<TFormGraphics>(nullptr, [this] { return now; });
    FileDialogFunction savedDialog;
    QString answer;
    QStringList asked;
    test::MessageCatcher catcher;
    QStringList& messages = catcher.texts;
};

TEST_F(FormGraphicsTest, ControlsCarryTheirNamesTextsAndHints) {
    EXPECT_EQ(form->windowTitle(), "Graphic Display");
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "fixed border";
    auto* pages = Find<QTabWidget>("PageControl");
    ASSERT_EQ(pages->count(), 3);
    for (int m = 0; m < 3; ++m) {
        const QString n = QString::number(m + 1);
        EXPECT_EQ(pages->tabText(m), "Motor " + n);
        EXPECT_EQ(pages->widget(m)->objectName(), "TabMotor" + n);
        EXPECT_EQ(Find("PaintBox" + n)->size(), QSize(478, 434));
        EXPECT_EQ(Find("PaintBoxTime" + n)->width(), 478);
        for (const char* kind : {"PaintBoxLeft", "PaintBox", "PaintBoxRight", "PaintBoxTime"}) {
            EXPECT_EQ(Find(kind + n)->parentWidget()->palette().color(QPalette::Window),
                      QColor(Qt::black))
                << kind << m;
        }
    }
    const struct {
        const char* name;
        const char* property;
        const char* text;
    } expected[] = {
        {"PaintBoxLeft2", "toolTip", "The scale is automatically adapted to fit the curve."},
        {"PaintBoxRight3", "toolTip", "The scales are automatically adapted to fit the curves."},
        {"LblRed", "text", "Red: Velocity (absolute value)"},
        {"LblYellow", "text", "Yellow: Target Velocity (absolute value)"},
        {"LblGreen", "text", "Green: Position"},
        {"LblBlue", "text", "Blue: Acceleration (absolute value)"},
        {"PnlTime", "toolTip", "The x axis time interval is shown here."},
        {"LblXAxis", "text", "Time interval (ms): "},
        {"LblXTiming", "text", "---"},
        {"CheckStop", "text", "&Stop when velocity = 0"},
        {"CheckStop", "toolTip",
         "If activated, the graphic display will be stopped when the motors are not running."},
        {"BtnPause", "text", "&Pause"},
        {"BtnClear", "text", "&Clear display"},
        {"BtnClear", "toolTip", "Click this button to clear the graphic display."},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(Find(e.name)->property(e.property).toString(), e.text) << e.name;
    }
    const std::pair<const char*, QColor> colours[] = {{"LblRed", QColor(255, 0, 0)},
                                                      {"LblYellow", QColor(255, 255, 0)},
                                                      {"LblGreen", QColor(0, 128, 0)},
                                                      {"LblBlue", QColor(0, 0, 255)}};
    for (const auto& [name, colour] : colours) {
        EXPECT_EQ(Find(name)->palette().color(QPalette::WindowText), colour) << name;
    }
    EXPECT_FALSE(Find<QCheckBox>("CheckStop")->isChecked());
}

TEST_F(FormGraphicsTest, CurvesAreDrawnInTheirColoursAtTheirRowsAndTimes) {
    // 200 passes 100 ms apart fill the live view (481 passes wide) to its 199/480.
    FeedKnownBuffer(1, 200);
    const QImage plot = Grab("PaintBox2");
    const std::pair<int, QColor> curves[] = {{kVelocityRow, QColor(255, 0, 0)},
                                             {kTargetVelocityRow, QColor(255, 255, 0)},
                                             {kPositionRow, QColor(0, 128, 0)},
                                             {kAccelerationRow, QColor(0, 0, 255)}};
    const int newest = 478 * 199 / 480;
    for (const auto& [row, colour] : curves) {
        EXPECT_EQ(plot.pixelColor(1, row), colour) << row;
        EXPECT_EQ(plot.pixelColor(newest - 1, row), colour) << row;
        EXPECT_EQ(plot.pixelColor(newest + 2, row), QColor(Qt::black)) << "no pass yet";
    }
    EXPECT_EQ(Grab("PaintBox1").pixelColor(1, kVelocityRow), QColor(Qt::black)) << "motor 1";
}

// Colours of text drawn on black keep the channels of their colour and no other.
bool HasColour(const QImage& image, QRect area, QColor colour) {
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c != QColor(Qt::black) && (c.red() > 0) == (colour.red() > 0) &&
                (c.green() > 0) == (colour.green() > 0) && (c.blue() > 0) == (colour.blue() > 0)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(FormGraphicsTest, ScaleStripsLabelEveryStepBelowTheTop) {
    FeedKnownBuffer(0, 2);
    const struct {
        const char* strip;
        QColor left, right;
    } strips[] = {{"PaintBoxLeft1", QColor(0, 128, 0), QColor(255, 255, 0)},
                  {"PaintBoxRight1", QColor(255, 0, 0), QColor(0, 0, 255)}};
    for (const auto& s : strips) {
        QWidget* strip = Find(s.strip);
        const QImage image = Grab(s.strip);
        const int h = strip->fontMetrics().height();
        const int split = strip->width() - strip->fontMetrics().horizontalAdvance("8888") - 1;
        for (int k = 0; k < 20; ++k) {
            const int top = 431 - h - 21 * k;
            EXPECT_TRUE(HasColour(image, QRect(0, top, split, h), s.left)) << s.strip << k;
            EXPECT_TRUE(HasColour(image, QRect(split, top, strip->width(), h), s.right))
                << s.strip << k;
        }
        // The highest value of a scale has no label.
        const QRect above(0, 0, strip->width(), 431 - h - 21 * 19);
        EXPECT_FALSE(HasColour(image, above, s.left) || HasColour(image, above, s.right))
            << s.strip;
    }
}

TEST_F(FormGraphicsTest, TheContextMenuExportsTheMotorsDataAndPicture) {
    FeedKnownBuffer(1, 2);
    Find<QTabWidget>("PageControl")->setCurrentIndex(1);
    answer = dir.filePath("motor2.csv");
    ChooseFromMenu("PaintBox2", "MenuExportData");
    QFile csv(answer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), "time_ms,position,velocity,target_velocity,acceleration\r\n"
                             "0,3000,250,100,33\r\n"
                             "100,3000,250,100,33\r\n");

    answer = dir.filePath("motor2"); // a name without extension is kept
    ChooseFromMenu("PaintBox2", "MenuSavePicture");
    const QImage picture(answer, "PNG");
    QWidget* tab = Find("TabMotor2");
    ASSERT_EQ(picture.size(), tab->size()) << "the tab: scale strips and plot";
    const QPoint origin = Find("PaintBox2")->mapTo(tab, QPoint(0, 0));
    EXPECT_EQ(picture.pixelColor(origin + QPoint(0, kVelocityRow)), QColor(255, 0, 0));

    EXPECT_EQ(asked, (QStringList{"Export Data | CSV files (*.csv);;All files (*)",
                                  "Save Picture | PNG images (*.png);;All files (*)"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FormGraphicsTest, AFileThatCannotBeWrittenIsReportedAndACancelWritesNothing) {
    FeedKnownBuffer(0, 1);
    answer = dir.filePath("missing/plot.csv");
    ChooseFromMenu("PaintBox1", "MenuExportData");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("The file " + QDir::toNativeSeparators(answer) +
                                       " could not be written.\n"))
        << messages[0].toStdString();

    answer.clear(); // the dialog was cancelled
    ChooseFromMenu("PaintBox1", "MenuSavePicture");
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST_F(FormGraphicsTest, ClearEmptiesThePlotAndStopFreezesIt) {
    FeedKnownBuffer(0, 3);
    EXPECT_EQ(Find<QLabel>("LblXTiming")->text(), "100");
    QTest::mouseClick(Find<QPushButton>("BtnClear"), Qt::LeftButton);
    EXPECT_TRUE(form->History().Empty());
    EXPECT_EQ(Find<QLabel>("LblXTiming")->text(), "---");
    EXPECT_EQ(Grab("PaintBox1").pixelColor(1, kVelocityRow), QColor(Qt::black));
    answer = dir.filePath("cleared.csv");
    ChooseFromMenu("PaintBox1", "MenuExportData");
    QFile cleared(answer);
    ASSERT_TRUE(cleared.open(QIODevice::ReadOnly));
    EXPECT_EQ(cleared.readAll(), "time_ms,position,velocity,target_velocity,acceleration\r\n")
        << "no row of a pass that never was";

    Find<QCheckBox>("CheckStop")->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        now += 4;
        form->AddPass({}); // all motors standing
    }
    EXPECT_EQ(form->History().Size(), 1u);
    FeedKnownBuffer(0, 1);
    EXPECT_EQ(form->History().Size(), 2u) << "a moving motor is kept";
    EXPECT_EQ(Find<QLabel>("LblXTiming")->text(), "108"); // the passes at 0 and 108 ms
    now += 5;
    form->AddPass({});
    EXPECT_EQ(Find<QLabel>("LblXTiming")->text(), "57") << "the mean 56.5, not the last";
    Find<QCheckBox>("CheckStop")->setChecked(false);
    for (int i = 0; i < 100; ++i) {
        now += 4;
        form->AddPass({});
    }
    EXPECT_EQ(Find<QLabel>("LblXTiming")->text(), "5.0") << "a decimal below 10 ms: 513 / 102";
}

TEST_F(FormGraphicsTest, ThePointerReadsOffTheNearestPassInTimeAndMarksIt) {
    // Motor 2 at PULSDIV 7 and RAMPDIV 7 from the first pass on.
    UnitsState units;
    units.SetDividers(1, 0x007700);
    form->SetUnits(&units);
    FeedKnownBuffer(1, 3); // at 0, 100 and 200 ms; the view is 48 s wide
    Find<QTabWidget>("PageControl")->setCurrentIndex(1);
    QWidget* box = Find("PaintBox2");
    constexpr int kEmptyRow = 40;                // no curve of the known buffer there
    QTest::mouseMove(box, QPoint(2, kEmptyRow)); // 2.5 pixels are 251 ms: the last pass
    EXPECT_EQ(Find<QLabel>("LblCursor")->text(),
              "0.200 s: position 3000, velocity -250 (-476.8 steps/s), target velocity 100 "
              "(190.7 steps/s), acceleration 33 (960.4 steps/s\u00B2)");
    // The line stands in the pixel column the pass is drawn in: 200 ms is 1.99 pixels in.
    EXPECT_NE(Grab("PaintBox2").pixelColor(1, kEmptyRow), QColor(Qt::black)) << "the line";
    EXPECT_EQ(Grab("PaintBox2").pixelColor(3, kEmptyRow), QColor(Qt::black)) << "thin";
    units.SetShown(false);
    EXPECT_EQ(Find<QLabel>("LblCursor")->text(),
              "0.200 s: position 3000, velocity -250, target velocity 100, acceleration 33");
    // Neighbouring pixels read the passes nearest to them, in time order.
    const int x[] = {0, 1, 2};
    const char* read[] = {"0.000 s", "0.100 s", "0.200 s"};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseMove(box, QPoint(x[i], kEmptyRow));
        EXPECT_TRUE(Find<QLabel>("LblCursor")->text().startsWith(read[i])) << x[i];
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box, &leave);
    EXPECT_EQ(Find<QLabel>("LblCursor")->text(), "");
    form->SetUnits(nullptr);
}

TEST_F(FormGraphicsTest, ARecordingTakesTheLiveHistorysPlaceAndTheTriggerSearchesIt) {
    FeedKnownBuffer(0, 3);
    // 100 rows 10 ms apart; motor 1 arrives at row 60.
    std::string text = PassCsvHeader(true) + "\n";
    MotionUnits units;
    for (int i = 0; i < 100; ++i) {
        PassRow row;
        row.values[0] = i;
        row.status = i >= 60 ? 1 : 0;
        text += PassCsvLine(10 * i, row, &units) + "\n";
    }
    answer = dir.filePath("run.csv");
    {
        QFile file(answer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(text));
    }
    ChooseFromMenu("PaintBox1", "MenuOpenRecording");
    EXPECT_EQ(Find<QComboBox>("CbSource")->currentText(), "run.csv");
    ASSERT_EQ(form->History().Size(), 100u);
    EXPECT_EQ(form->View().Shown(form->History()), (PlotView::Range{0, 990})) << "all of it";

    // Zoomed in about the middle, the view ends before the arrival, which Arm finds.
    QWidget* box = Find("PaintBox1");
    box->setFocus();
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(box, Qt::Key_Plus);
    }
    ASSERT_LT(form->View().Shown(form->History()).end, 600);
    Find<QComboBox>("CbTrigger")->setCurrentText("X_ACTUAL = X_TARGET");
    QTest::mouseClick(Find<QPushButton>("BtnArm"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("LblTrigger")->text(), "Triggered at 0.600 s: X_ACTUAL1 = X_TARGET1");
    QTest::mouseClick(Find<QPushButton>("BtnArm"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("LblTrigger")->text(), "No X_ACTUAL1 = X_TARGET1 after the view.");

    // A file that is no recording changes nothing.
    answer = dir.filePath("bad.csv");
    {
        QFile file(answer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("time,x\n1,2\n");
    }
    ChooseFromMenu("PaintBox1", "MenuOpenRecording");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("bad.csv, line 1, column 1: not the header of a recording"))
        << messages[0].toStdString();
    EXPECT_EQ(form->History().Size(), 100u);
    Find<QComboBox>("CbSource")->setCurrentIndex(0);
    EXPECT_EQ(form->History().Size(), 3u) << "the live history, which went on";
}

TEST_F(FormGraphicsTest, ACaptureShowsItsShareBeforeTheTriggerAndExportsFromIt) {
    // A Go at the first pass that can trigger (the second: an edge needs one before it), or
    // at the newest pass of a longer history.
    const struct {
        int share;
        int passesBefore;
    } cases[] = {{0, 1}, {20, 1}, {100, 1}, {0, 40}, {20, 40}, {100, 40}};
    double at = 0;
    PlotView::Range shown{};
    for (const auto& c : cases) {
        form->BtnClearClick();
        FeedKnownBuffer(0, c.passesBefore);
        Find<TSpinEdit>("EditPreTrigger")->setValue(c.share);
        Find<QComboBox>("CbTrigger")->setCurrentText("Go!");
        QTest::mouseClick(Find<QPushButton>("BtnArm"), Qt::LeftButton);
        form->MotorCommanded(0);
        FeedKnownBuffer(0, 1);
        at = form->History().TimeOf(form->History().EndSeq() - 1);
        shown = form->View().Shown(form->History());
        EXPECT_DOUBLE_EQ(shown.start, at - shown.Span() * c.share / 100) << c.share;
        EXPECT_FALSE(form->View().Following()) << c.share;
    }
    // The last view's passes, their times counted from the trigger: before it, negative.
    answer = dir.filePath("capture.csv");
    ChooseFromMenu("PaintBox1", "MenuExportData");
    QFile csv(answer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    ASSERT_GE(rows.size(), 4);
    const uint64_t first = PassesIn(form->History(), shown).first;
    const int before = int(form->History().TimeOf(first) - at);
    EXPECT_LT(before, 0);
    EXPECT_TRUE(rows[1].startsWith(QByteArray::number(before) + ',')) << rows[1].toStdString();
    EXPECT_TRUE(rows[rows.size() - 2].startsWith("0,")) << "the trigger's pass is the last";
}

TEST_F(FormGraphicsTest, TheLongestReadOutsAreNeverCut) {
#ifdef _WIN32
    GTEST_SKIP() << "the offscreen platform finds no fonts under Wine: text sizes are measured "
                    "on Linux";
#endif
    UnitsState units; // dividers 0/0: the largest step rates there are
    form->SetUnits(&units);
    PassRow extreme;
    extreme.values = {-8388608, -2048, -2048, -2048, 8388607, 2047, 2047, 2047, 0, 0, 0, 0};
    for (int i = 0; i < 2; ++i) {
        now += 99999; // a time of many digits
        form->AddPass(extreme);
        extreme.values[0] = -extreme.values[0] - 1;
    }
    QWidget* box = Find("PaintBox1");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(0, 40));
    QTest::mouseClick(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(477, 40));
    QTest::mouseMove(box, QPoint(477, 40));
    for (const char* name : {"LblCursor", "LblMeasure"}) {
        auto* label = Find<QLabel>(name);
        ASSERT_FALSE(label->text().isEmpty()) << name;
        EXPECT_LE(label->heightForWidth(label->width()), label->height())
            << name << ": " << label->text().toStdString();
    }
    form->SetUnits(nullptr);
}

} // namespace
} // namespace vrx
