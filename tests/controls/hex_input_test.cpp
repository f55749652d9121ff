#include "controls/hex_input.h"

#include "controls/system_beep.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vrx {
namespace {

class HexInputTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = SystemBeep;
        SystemBeep = [this] { ++beeps; };
        MakeHexInput(&edit, 6);
        edit.show();
        edit.setFocus();
    }
    void TearDown() override { SystemBeep = saved_; }

    QLineEdit edit;
    int beeps = 0;

private:
    std::function<void()> saved_;
};

TEST_F(HexInputTest, TypedHexDigitsShowUpperCaseAndOtherCharactersBeep) {
    struct Case {
        const char* typed;
        const char* shown;
        int beeps;
    };
    const Case cases[] = {
        {"09afAF", "09AFAF", 0}, {"g", "", 1},    {" ", "", 1},
        {"1x2", "12", 1},        {"-+.,", "", 4}, {"abcdef12", "ABCDEF", 0}, // cut at six
    };
    for (const Case& c : cases) {
        edit.clear();
        beeps = 0;
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), c.shown) << c.typed;
        EXPECT_EQ(beeps, c.beeps) << c.typed;
    }
}

TEST_F(HexInputTest, EditingKeysPassWithoutBeep) {
    QTest::keyClicks(&edit, "12");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(beeps, 0);
}

TEST_F(HexInputTest, PastedTextIsUpperCasedOrRefused) {
    QApplication::clipboard()->setText("ab12");
    edit.paste();
    EXPECT_EQ(edit.text(), "AB12");
    edit.clear();
    QApplication::clipboard()->setText("12 G");
    edit.paste();
    EXPECT_EQ(edit.text(), "");
}

} // namespace
} // namespace vrx
