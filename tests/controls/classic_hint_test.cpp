#include "controls/classic_hint.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QStyleOption>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(TClassicHint, AnswersTheHintTimings) {
    TClassicHint hints;
    EXPECT_EQ(hints.styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    EXPECT_EQ(hints.styleHint(QStyle::SH_ToolTip_FallAsleepDelay), 5000);
    EXPECT_EQ(hints.styleHint(QStyle::SH_ToolTipLabel_Opacity), 255);
    EXPECT_EQ(hints.pixelMetric(QStyle::PM_ToolTipLabelFrameWidth), 1);
    // Everything else is the platform style's.
    EXPECT_EQ(hints.styleHint(QStyle::SH_ScrollBar_MiddleClickAbsolutePosition),
              hints.baseStyle()->styleHint(QStyle::SH_ScrollBar_MiddleClickAbsolutePosition));
}

TEST(TClassicHint, DrawsTheHintAsAPlainFramedRectangle) {
    TClassicHint hints;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::green);
    QStyleOption option;
    option.rect = image.rect();
    option.palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    option.palette.setColor(QPalette::ToolTipText, Qt::black);
    {
        QPainter painter(&image);
        hints.drawPrimitive(QStyle::PE_PanelTipLabel, &option, &painter);
    }
    for (const QPoint corner : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 19), QPoint(39, 19)}) {
        EXPECT_EQ(image.pixel(corner) & 0xFFFFFF, 0x000000u) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0xFFFFE1u);
    EXPECT_EQ(image.pixel(20, 10) & 0xFFFFFF, 0xFFFFE1u);
}

// Every line fits, no word is lost or split, and no line could have taken the next line's
// first word.
void ExpectWrapped(const QString& text, const QString& wrapped, const QFontMetrics& metrics) {
    const QStringList lines = wrapped.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList words = lines[i].split(u' ');
        if (words.size() > 1) {
            EXPECT_LE(metrics.horizontalAdvance(lines[i]), 200) << lines[i].toStdString();
        }
        if (i + 1 < lines.size()) {
            const QString longer = lines[i] + u' ' + lines[i + 1].section(u' ', 0, 0);
            EXPECT_GT(metrics.horizontalAdvance(longer), 200) << longer.toStdString();
        }
    }
    EXPECT_EQ(lines.join(u' ').split(u' '), text.split(u' '));
}

class HintWrap : public testing::TestWithParam<const char*> {};

TEST_P(HintWrap, BreaksAtBlanksWithinTwoHundredPixels) {
    const QFontMetrics metrics(QToolTip::font());
    const QString text = QString::fromLatin1(GetParam());
    const QString wrapped = TClassicHint::WrapHintText(text, metrics, 200);
    ExpectWrapped(text, wrapped, metrics);
    if (metrics.horizontalAdvance(text) > 200) {
        EXPECT_TRUE(wrapped.contains(u'\n'));
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProgramHints, HintWrap,
    testing::Values("Click this button to stop motor 1.",
                    "Click this button to run motor 1 using the parameters specified above.",
                    "Click this button to run all motors using the parameters specified above.",
                    "The VRX630 status bits are being displayed here.", "Go!"));

TEST(TClassicHintWrap, KeepsALongWordWholeAndExistingLineBreaks) {
    const QFontMetrics metrics(QToolTip::font());
    const QString word(60, u'W');
    ASSERT_GT(metrics.horizontalAdvance(word), 200);
    EXPECT_EQ(TClassicHint::WrapHintText(QStringLiteral("a ") + word + QStringLiteral(" b"),
                                         metrics, 200),
              QStringLiteral("a\n") + word + QStringLiteral("\nb"));
    EXPECT_EQ(TClassicHint::WrapHintText(QStringLiteral("one\ntwo"), metrics, 200),
              QStringLiteral("one\ntwo"));
}

class HintFilter : public testing::Test {
protected:
    void SetUp() override { qApp->installEventFilter(&hints); }
    void TearDown() override { QToolTip::hideText(); }

    static void AskForHint(QWidget& widget) {
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&widget, &event);
    }

    TClassicHint hints;
};

TEST_F(HintFilter, ShowsALongHintWrappedAtTwoHundredPixels) {
    QWidget button;
    const QString text =
        QStringLiteral("Click this button to run motor 1 using the parameters specified above.");
    button.setToolTip(text);
    button.show();
    AskForHint(button);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_TRUE(QToolTip::text().contains(u'\n'));
    ExpectWrapped(text, QToolTip::text(), QFontMetrics(QToolTip::font()));
}

TEST_F(HintFilter, AControlWithoutHintShowsItsParentsHint) {
    QWidget group;
    group.setToolTip(QStringLiteral("The VRX630 status bits are being displayed here."));
    auto* led = new QWidget(&group);
    led->setGeometry(5, 5, 16, 16);
    group.show();
    AskForHint(*led);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text().split(u'\n').join(u' '), group.toolTip());
}

TEST(InstallClassicHints, MakesTheHintSettingsTheApplicationStyle) {
    InstallClassicHints(*qApp);
    ASSERT_NE(qobject_cast<TClassicHint*>(QApplication::style()), nullptr);
    QWidget widget;
    EXPECT_EQ(widget.style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, &widget), 500);
}

} // namespace
} // namespace vrx
