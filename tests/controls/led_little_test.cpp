#include "controls/led_little.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <ostream>

namespace vrx {
namespace {

// The LED picture: W white, G grey 808080, S silver C0C0C0, D disc colour.
constexpr std::array<const char*, 16> kPicture = {
    "WWWWWWWWWWWWWWWG", //
    "WSSSSSSSSSSSSSSG", //
    "WSSSSSSSSSSSSSSG", //
    "WSSSSDDDDDDSSSSG", // row 3: 6 wide
    "WSSSDDDDDDDDSSSG", //
    "WSSDDDDDDDDDDSSG", //
    "WSDDDDDWWWDDDDSG", // row 6: highlight columns 7..9
    "WSDDDDWWWDDDDDSG", //
    "WSDDDDWWDDDDDDSG", //
    "WSDDDDWDDDDDDDSG", // row 9: highlight column 6
    "WSDDDDDDDDDDDDSG", //
    "WSSDDDDDDDDDDSSG", //
    "WSSSDDDDDDDDSSSG", //
    "WSSSSDDDDDDSSSSG", // row 13: 6 wide
    "WSSSSSSSSSSSSSSG", //
    "GGGGGGGGGGGGGGGG"};

struct LedCase {
    TLedLittleColor color;
    const char* resource;
    QRgb disc;
};

constexpr std::array<LedCase, kLedColorCount> kLeds = {{
    {lcBlack, "BLACKLED", 0x000000},
    {lcDarkGray, "DARKGRAYLED", 0x808080},
    {lcRed, "REDLED", 0xFF0000},
    {lcDarkRed, "DARKREDLED", 0x800000},
    {lcGreen, "GREENLED", 0x00FF00},
    {lcDarkGreen, "DARKGREENLED", 0x008000},
    {lcYellow, "YELLOWLED", 0xFFFF00},
    {lcDarkYellow, "DARKYELLOWLED", 0x808000},
    {lcBlue, "BLUELED", 0x0000FF},
    {lcDarkBlue, "DARKBLUELED", 0x000080},
    {lcPurple, "PURPLELED", 0xFF00FF},
    {lcDarkPurple, "DARKPURPLELED", 0x800080},
    {lcCyan, "CYANLED", 0x00FFFF},
    {lcDarkCyan, "DARKCYANLED", 0x008080},
}};

void PrintTo(const LedCase& c, std::ostream* os) {
    *os << c.resource;
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

QImage Shown(const TLedLittle& led) {
    return led.pixmap().toImage();
}

// A disc pixel outside the highlight tells the colour that is shown.
QRgb DiscShown(const TLedLittle& led) {
    return Rgb(Shown(led), 10, 8);
}

class LedPicture : public testing::TestWithParam<LedCase> {};

TEST_P(LedPicture, MatchesTheLayoutWithItsDiscColour) {
    TLedLittle led;
    led.SetLedColor(GetParam().color);
    const QImage image = Shown(led);
    ASSERT_EQ(image.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            QRgb expected = 0;
            switch (kPicture[y][x]) {
            case 'W':
                expected = 0xFFFFFF;
                break;
            case 'G':
                expected = 0x808080;
                break;
            case 'S':
                expected = 0xC0C0C0;
                break;
            default:
                expected = GetParam().disc;
                break;
            }
            EXPECT_EQ(Rgb(image, x, y), expected) << "pixel x=" << x << " y=" << y;
        }
    }
    // The picture shown is the resource of that name.
    EXPECT_EQ(LedResourceName(GetParam().color), QString::fromLatin1(GetParam().resource));
    const QImage named(QStringLiteral(":/leds/") + QString::fromLatin1(GetParam().resource));
    EXPECT_EQ(named.convertToFormat(image.format()), image);
}

INSTANTIATE_TEST_SUITE_P(AllColours, LedPicture, testing::ValuesIn(kLeds),
                         [](const auto& info) { return std::string(info.param.resource); });

TEST(TLedLittle, StartsBlackAndFixedAtSixteenPixels) {
    TLedLittle led;
    EXPECT_EQ(led.LedColor(), lcBlack);
    EXPECT_EQ(led.ClicLedColor(), lcDarkGray);
    EXPECT_EQ(led.Interval(), 250);
    EXPECT_FALSE(led.Blink());
    EXPECT_EQ(led.blinkTimer(), nullptr);
    EXPECT_EQ(led.minimumSize(), QSize(16, 16));
    EXPECT_EQ(led.maximumSize(), QSize(16, 16));
    EXPECT_EQ(led.bitmapLoads(), 1);
    EXPECT_EQ(DiscShown(led), 0x000000u);
}

TEST(TLedLittle, SameColourAgainLoadsNoBitmap) {
    TLedLittle led;
    led.SetLedColor(lcCyan);
    led.SetLedColor(lcCyan);
    EXPECT_EQ(led.bitmapLoads(), 2);
    EXPECT_EQ(DiscShown(led), 0x00FFFFu);
    led.SetClicLedColor(lcRed); // stored only
    EXPECT_EQ(led.bitmapLoads(), 2);
    EXPECT_EQ(led.ClicLedColor(), lcRed);
}

TEST(TLedLittle, IntervalZeroStartsNoTimerUntilAnIntervalIsSet) {
    TLedLittle led;
    led.SetLedColor(lcCyan);
    led.SetInterval(0);
    led.SetBlink(true);
    EXPECT_EQ(led.blinkTimer(), nullptr);

    QSignalSpy blinks(&led, &TLedLittle::blinked);
    led.SetInterval(300);
    ASSERT_NE(led.blinkTimer(), nullptr);
    EXPECT_TRUE(led.blinkTimer()->isActive());
    EXPECT_EQ(led.blinkTimer()->interval(), 300);

    EXPECT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcDarkGray; }));
    EXPECT_EQ(DiscShown(led), 0x808080u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcCyan; }));
    EXPECT_EQ(DiscShown(led), 0x00FFFFu);
    EXPECT_GE(blinks.count(), 2);
}

TEST(TLedLittle, BlinkOffDuringTheAlternatePhaseRestoresAtOnce) {
    TLedLittle led;
    led.SetLedColor(lcGreen);
    led.SetInterval(20);
    led.SetBlink(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcDarkGray; }));
    led.SetBlink(false);
    EXPECT_EQ(led.LedColor(), lcGreen);
    EXPECT_EQ(DiscShown(led), 0x00FF00u);
    EXPECT_EQ(led.blinkTimer(), nullptr);
}

TEST(TLedLittle, NewIntervalDuringTheAlternatePhaseRestoresAndRestarts) {
    TLedLittle led;
    led.SetLedColor(lcBlue);
    led.SetInterval(20);
    led.SetBlink(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcDarkGray; }));
    led.SetInterval(40);
    EXPECT_EQ(led.LedColor(), lcBlue);
    ASSERT_NE(led.blinkTimer(), nullptr);
    EXPECT_EQ(led.blinkTimer()->interval(), 40);
}

TEST(TLedLittle, ColourSetDuringTheAlternatePhaseGivesWayAtTheNextStep) {
    TLedLittle led;
    led.SetLedColor(lcYellow);
    led.SetClicLedColor(lcBlack);
    led.SetInterval(20);
    led.SetBlink(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcBlack; }));
    led.SetLedColor(lcRed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return led.LedColor() == lcYellow; }));
}

TEST(TLedLittle, BlinkCanBeSwitchedOffFromItsOwnBlinkSignal) {
    TLedLittle led;
    led.SetLedColor(lcPurple);
    led.SetInterval(20);
    QObject::connect(&led, &TLedLittle::blinked, &led, [&led] { led.SetBlink(false); });
    led.SetBlink(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !led.Blink(); }));
    EXPECT_EQ(led.LedColor(), lcPurple);
    EXPECT_EQ(led.blinkTimer(), nullptr);
}

TEST(TLedLittle, HoldingTheMouseShowsTheClickColour) {
    TLedLittle led;
    led.SetLedColor(lcCyan);
    QTest::mousePress(&led, Qt::LeftButton);
    EXPECT_EQ(led.LedColor(), lcDarkGray);
    EXPECT_EQ(DiscShown(led), 0x808080u);
    QTest::mouseRelease(&led, Qt::LeftButton);
    EXPECT_EQ(led.LedColor(), lcCyan);
    EXPECT_EQ(DiscShown(led), 0x00FFFFu);
}

TEST(TLedLittle, ColourSetWhileTheMouseIsHeldIsUndoneOnRelease) {
    TLedLittle led;
    led.SetLedColor(lcCyan);
    QTest::mousePress(&led, Qt::RightButton);
    led.SetLedColor(lcDarkCyan);
    QTest::mouseRelease(&led, Qt::RightButton);
    EXPECT_EQ(led.LedColor(), lcCyan);
}

TEST(TLedLittle, NoClickFeedbackWhileBlinking) {
    TLedLittle led;
    led.SetLedColor(lcRed);
    led.SetInterval(60000); // no step comes within the test
    led.SetBlink(true);
    QTest::mousePress(&led, Qt::LeftButton);
    EXPECT_EQ(led.LedColor(), lcRed);
    QTest::mouseRelease(&led, Qt::LeftButton);
    EXPECT_EQ(led.LedColor(), lcRed);
}

} // namespace
} // namespace vrx
