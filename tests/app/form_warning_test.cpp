#include "app/form_warning.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace vrx {
namespace {

class FormWarningTest : public testing::Test {
public:
    void SetUp() override {
        TFormWarning::ExclamationBeep = [this] { ++beeps; };
        // A dialog that nothing answers would keep exec() running for good.
        QTimer::singleShot(10000, &guard, [this] {
            if (form.isVisible()) {
                ADD_FAILURE() << "the warning was left unanswered";
                form.done(-1);
            }
        });
    }
    void TearDown() override {
        TFormWarning::ExclamationBeep = [] { QApplication::beep(); };
    }

    template <typename Widget> Widget* Control(const char* name) {
        auto* widget = form.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Runs `answer` on the dialog once it is up modally. Ends the dialog as a failure if it
    // does not come up in time, so a broken test cannot hang in exec().
    void WhenModal(std::function<void()> answer, QDeadlineTimer deadline = QDeadlineTimer(5000)) {
        QTimer::singleShot(5, &guard, [this, answer, deadline] {
            if (QApplication::activeModalWidget() == &form) {
                answer();
            } else if (!deadline.hasExpired()) {
                WhenModal(answer, deadline);
            } else {
                ADD_FAILURE() << "the warning did not come up modally";
                form.done(-1);
            }
        });
    }

    QWidget* Focused() { return form.focusWidget(); }

    // Mnemonics reach only the active window, as for the user at the keyboard.
    void PressAlt(Qt::Key key) {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(Focused(), key, Qt::AltModifier);
    }

    int beeps = 0;
    TFormWarning form;
    QObject guard; // pending answers die with the test
};

TEST_F(FormWarningTest, ShowsItsTextsExactly) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Warning"));
    EXPECT_EQ(Control<QLabel>("LblText1")->text(),
              QStringLiteral("The \"Max. Accel.\" Parameter should not be less than "));
    EXPECT_EQ(Control<QLabel>("LblNumber")->text(), QStringLiteral("LblNumber"));
    EXPECT_EQ(Control<QLabel>("LblText2")->text(),
              QStringLiteral("as else undesired oscillating effects can be caused."));
    EXPECT_EQ(Control<QLabel>("LblText3")->text(),
              QStringLiteral("Do you wish to continue anyway?"));
    EXPECT_EQ(Control<QCheckBox>("CheckNotify")->text(),
              QStringLiteral("Do not notify me again during this session."));
    EXPECT_FALSE(Control<QCheckBox>("CheckNotify")->isChecked());
    EXPECT_EQ(Control<QPushButton>("BtnCont")->text(), QStringLiteral("&Continue"));
    EXPECT_EQ(Control<QPushButton>("BtnAbort")->text(), QStringLiteral("&Abort"));
    for (const char* label : {"LblText1", "LblNumber", "LblText2", "LblText3"}) {
        EXPECT_EQ(Control<QLabel>(label)->parent(), Control<QFrame>("PnlText")) << label;
    }
    EXPECT_EQ(Control<QFrame>("PnlText")->frameShadow(), QFrame::Sunken);
}

TEST_F(FormWarningTest, IsAFixedDialogWithoutBorderIconsOrDefaultButton) {
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    form.layout()->activate();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    for (const char* name : {"BtnCont", "BtnAbort"}) {
        auto* button = Control<QPushButton>(name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
}

struct AnswerCase {
    const char* name;
    std::function<void(FormWarningTest&)> answer;
    bool proceeds;
    int result;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class FormWarningAnswer : public FormWarningTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(FormWarningAnswer, DecidesWhetherTheCallerGoesOn) {
    bool focusOnContinue = false;
    int beepsBeforeAnswer = -1;
    WhenModal([&] {
        focusOnContinue = Focused() == Control<QPushButton>("BtnCont");
        beepsBeforeAnswer = beeps;
        GetParam().answer(*this);
    });
    EXPECT_EQ(form.ConfirmMinimum(4), GetParam().proceeds);
    EXPECT_EQ(form.result(), GetParam().result);
    EXPECT_TRUE(focusOnContinue);
    EXPECT_EQ(beepsBeforeAnswer, 1);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Control<QLabel>("LblNumber")->text(), QStringLiteral("4,"));
}

void Click(FormWarningTest& test, const char* name) {
    QTest::mouseClick(test.form.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, FormWarningAnswer,
    testing::Values(
        AnswerCase{"ContinueButton", [](FormWarningTest& t) { Click(t, "BtnCont"); }, true, 6},
        AnswerCase{"AbortButton", [](FormWarningTest& t) { Click(t, "BtnAbort"); }, false, 7},
        AnswerCase{"AltC", [](FormWarningTest& t) { t.PressAlt(Qt::Key_C); }, true, 6},
        AnswerCase{"AltA", [](FormWarningTest& t) { t.PressAlt(Qt::Key_A); }, false, 7},
        AnswerCase{"LetterA", [](FormWarningTest& t) { QTest::keyClick(t.Focused(), 'a'); }, false,
                   7},
        AnswerCase{"EnterOnFocusedContinue",
                   [](FormWarningTest& t) { QTest::keyClick(t.Focused(), Qt::Key_Return); }, true,
                   6},
        AnswerCase{"SpaceOnFocusedAbort",
                   [](FormWarningTest& t) {
                       QTest::keyClick(t.Focused(), Qt::Key_Tab);
                       QTest::keyClick(t.Focused(), Qt::Key_Space);
                   },
                   false, 7},
        AnswerCase{"ClosedOtherwise", [](FormWarningTest& t) { t.form.close(); }, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormWarningTest, EscapeDoesNotAnswer) {
    bool stillUp = false;
    WhenModal([&] {
        QTest::keyClick(Focused(), Qt::Key_Escape);
        stillUp = form.isVisible();
        Click(*this, "BtnCont");
    });
    EXPECT_TRUE(form.ConfirmMinimum(12));
    EXPECT_TRUE(stillUp);
    EXPECT_EQ(form.result(), 6);
}

TEST_F(FormWarningTest, NotifyBoxStillAbortsThisTimeAndSkipsTheWarningAfterwards) {
    WhenModal([&] {
        Control<QCheckBox>("CheckNotify")->setChecked(true);
        Click(*this, "BtnAbort");
    });
    EXPECT_FALSE(form.ConfirmMinimum(4));
    EXPECT_EQ(beeps, 1);

    // Not shown again.
    WhenModal([&] {
        ADD_FAILURE() << "the warning came up although the user asked not to be notified";
        Click(*this, "BtnAbort");
    });
    EXPECT_TRUE(form.ConfirmMinimum(2047));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Control<QLabel>("LblNumber")->text(), QStringLiteral("2047,"));
}

TEST_F(FormWarningTest, BeepsOnceAtEachShowing) {
    for (int showing = 1; showing <= 3; ++showing) {
        WhenModal([&] { Click(*this, showing % 2 ? "BtnAbort" : "BtnCont"); });
        EXPECT_EQ(form.ConfirmMinimum(showing), showing % 2 == 0);
        EXPECT_EQ(beeps, showing);
    }
}

} // namespace
} // namespace vrx
