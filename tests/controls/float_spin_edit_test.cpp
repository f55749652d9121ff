#include "controls/float_spin_edit.h"

#include "controls/system_beep.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vrx {
namespace {

class FloatSpinEditTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = SystemBeep;
        SystemBeep = [this] { ++beeps; };
        edit.setRange(-1.0, 1.0);
        edit.setSingleStep(0.1);
        edit.setValue(-1.0);
        edit.show();
        edit.setFocus();
    }
    void TearDown() override { SystemBeep = saved_; }
    QLineEdit& Editor() { return *edit.findChild<QLineEdit*>(); }
    void LoseFocus() {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&edit, &out);
    }

    TFloatSpinEdit edit;
    int beeps = 0;

private:
    std::function<void()> saved_;
};

TEST_F(FloatSpinEditTest, StartsAtItsValueWithTwelveDecimals) {
    EXPECT_EQ(Editor().text(), "-1.000000000000");
}

TEST_F(FloatSpinEditTest, ValueIsTheNumberInTheTextOrTheMinimumAndClampsOnLeaving) {
    struct Case {
        const char* text;
        double value;
        const char* left; // the text after the field lost the focus
    };
    const Case cases[] = {
        {"0.5", 0.5, "0.500000000000"},     {"-0.25", -0.25, "-0.250000000000"},
        {"2", 1.0, "1.000000000000"},       {"-7", -1.0, "-1.000000000000"},
        {"", -1.0, "-1.000000000000"},      {"-", -1.0, "-1.000000000000"},
        {"1.2.3", -1.0, "-1.000000000000"},
    };
    for (const Case& c : cases) {
        Editor().setText(c.text);
        EXPECT_DOUBLE_EQ(edit.value(), c.value) << c.text;
        LoseFocus();
        EXPECT_EQ(Editor().text(), c.left) << c.text;
    }
}

TEST_F(FloatSpinEditTest, EnterAndStepsClampAndRewrite) {
    Editor().setText("3");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(Editor().text(), "1.000000000000");
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(Editor().text(), "1.000000000000");
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(Editor().text(), "0.800000000000");
}

TEST_F(FloatSpinEditTest, OnlyDigitsSignsAndTheDecimalSeparatorAreTyped) {
    Editor().clear();
    QTest::keyClicks(&edit, "-0.5x e,");
    EXPECT_EQ(Editor().text(), "-0.5");
    EXPECT_EQ(beeps, 4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Editor().text(), "-0.");
    EXPECT_EQ(beeps, 4);
}

} // namespace
} // namespace vrx
