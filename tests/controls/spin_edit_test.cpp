#include "controls/spin_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace vrx {
namespace {

constexpr int kMin24 = -8388608;
constexpr int kMax24 = 8388607;

QLineEdit& Editor(TSpinEdit& edit) {
    return *edit.findChild<QLineEdit*>();
}

void LoseFocus(TSpinEdit& edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &out);
}

struct TextCase {
    const char* text;
    int value;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class SpinEditValue : public testing::TestWithParam<TextCase> {};

TEST_P(SpinEditValue, IsTheClampedNumberInTheTextOrTheMinimum) {
    TSpinEdit edit;
    edit.setRange(-5, 2047);
    Editor(edit).setText(QString::fromLatin1(GetParam().text));
    EXPECT_EQ(edit.value(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinEditValue,
                         testing::Values(TextCase{"12", 12}, TextCase{"-3", -3}, TextCase{" 7 ", 7},
                                         TextCase{"+9", 9},
                                         // clamped before the field is left too
                                         TextCase{"5000", 2047}, TextCase{"-40", -5},
                                         // not numbers
                                         TextCase{"", -5}, TextCase{"-", -5}, TextCase{"1-2", -5},
                                         TextCase{"abc", -5}, TextCase{"99999999999", -5}));

struct ClampCase {
    const char* typed;
    const char* shown;
    int value;
};

void PrintTo(const ClampCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class SpinEditFocusOut : public testing::TestWithParam<ClampCase> {};

TEST_P(SpinEditFocusOut, ClampsIntoTheRange) {
    TSpinEdit edit;
    edit.setRange(0, 2047);
    Editor(edit).setText(QString::fromLatin1(GetParam().typed));
    LoseFocus(edit);
    EXPECT_EQ(edit.text(), QString::fromLatin1(GetParam().shown));
    EXPECT_EQ(edit.value(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinEditFocusOut,
                         testing::Values(ClampCase{"5000", "2047", 2047}, ClampCase{"-1", "0", 0},
                                         ClampCase{"", "0", 0}, ClampCase{"-", "0", 0},
                                         ClampCase{"2047", "2047", 2047},
                                         ClampCase{"100", "100", 100}));

TEST(TSpinEdit, TypedValueCountsBeforeItIsCommitted) {
    TSpinEdit edit;
    edit.setRange(kMin24, kMax24);
    QSignalSpy changes(&edit, &TSpinEdit::valueChanged);
    Editor(edit).clear();
    QTest::keyClicks(&edit, "-12x3");
    EXPECT_EQ(edit.text(), QStringLiteral("-123")); // letters are not taken
    EXPECT_EQ(edit.value(), -123);
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.last().at(0).toInt(), -123);
}

TEST(TSpinEdit, TwentyFourBitRangeEdges) {
    TSpinEdit edit;
    edit.setRange(kMin24, kMax24);
    edit.setValue(kMin24);
    EXPECT_EQ(edit.text(), QStringLiteral("-8388608"));
    edit.stepBy(-1);
    EXPECT_EQ(edit.value(), kMin24);
    edit.setValue(kMax24 + 1);
    EXPECT_EQ(edit.value(), kMax24);
    edit.stepBy(5);
    EXPECT_EQ(edit.value(), kMax24);
    edit.stepBy(-1);
    EXPECT_EQ(edit.value(), kMax24 - 1);
    Editor(edit).setText(QStringLiteral("-8388609"));
    LoseFocus(edit);
    EXPECT_EQ(edit.text(), QStringLiteral("-8388608"));
}

TEST(TSpinEdit, StepsStopAtTheEdgesOfTheFullIntRangeAndEveryValueCanBeNegated) {
    TSpinEdit edit;
    edit.setRange(INT_MIN, INT_MAX);
    EXPECT_EQ(edit.minimum(), -INT_MAX);
    edit.setValue(INT_MAX - 1);
    edit.stepBy(3);
    EXPECT_EQ(edit.value(), INT_MAX);
    edit.setValue(INT_MIN + 2);
    edit.stepBy(-3);
    EXPECT_EQ(edit.value(), -INT_MAX);
    Editor(edit).setText(QStringLiteral("-2147483648"));
    EXPECT_EQ(edit.value(), -INT_MAX); // not a number of the field: its minimum
}

TEST(TSpinEdit, ArrowKeysStepAndTheArrowsFollowTheEdges) {
    TSpinEdit edit;
    edit.setRange(0, 2);
    edit.setValue(1);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.value(), 2);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.value(), 2);
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.value(), 0);
}

TEST(TSpinEdit, SetValueClampsAndNotifiesOnce) {
    TSpinEdit edit;
    edit.setRange(0, 2047);
    QSignalSpy changes(&edit, &TSpinEdit::valueChanged);
    edit.setValue(3000);
    EXPECT_EQ(edit.text(), QStringLiteral("2047"));
    edit.setValue(2047);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 2047);
}

TEST(TSpinEdit, NarrowerRangeClampsANumberButKeepsTheRuleForText) {
    TSpinEdit edit;
    edit.setRange(-100, 100);
    edit.setValue(80);
    edit.setRange(0, 50);
    EXPECT_EQ(edit.text(), QStringLiteral("50"));
    Editor(edit).setText(QString());
    edit.setRange(10, 20);
    EXPECT_EQ(edit.value(), 10);
    edit.setMaximum(5); // below the minimum: the range collapses onto it
    EXPECT_EQ(edit.minimum(), 5);
    EXPECT_EQ(edit.maximum(), 5);
}

} // namespace
} // namespace vrx
