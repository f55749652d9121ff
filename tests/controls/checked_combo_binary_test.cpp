#include "controls/checked_combo_binary.h"

#include "support/wait_for.h"

#include <QAbstractItemView>
#include <QAction>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace vrx {
namespace {

class CheckedComboBinaryTest : public testing::Test {
protected:
    void SetUp() override {
        list.SetItems({"B0", "B1", "B2", "B3"});
        list.show();
    }
    QAbstractItemView& View() { return *list.view(); }
    QPoint ItemCentre(int row) { return View().visualRect(View().model()->index(row, 0)).center(); }
    QAction* MenuAction(const char* name) { return list.ListMenu()->findChild<QAction*>(name); }

    TCheckedComboBinary list;
};

TEST_F(CheckedComboBinaryTest, TextIsTheBitStringOfTheTicksLastItemFirst) {
    EXPECT_EQ(list.text(), "0000");
    list.SetChecked(0, true);
    list.SetChecked(2, true);
    EXPECT_EQ(list.text(), "0101");
    EXPECT_EQ(list.Value(), 5u);
    EXPECT_EQ(list.property("text").toString(), "0101");
    list.SetChecked(9, true); // no such item
    EXPECT_EQ(list.text(), "0101");
}

TEST_F(CheckedComboBinaryTest, ClickingAnItemTogglesItAndKeepsTheListOpen) {
    QSignalSpy changes(&list, &TCheckedComboBinary::textChanged);
    list.showPopup();
    ASSERT_TRUE(test::WaitFor([&] { return View().isVisible(); }));
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, ItemCentre(3));
    EXPECT_EQ(list.text(), "1000");
    EXPECT_TRUE(View().isVisible());
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, ItemCentre(3));
    EXPECT_EQ(list.text(), "0000");
    View().setCurrentIndex(View().model()->index(1, 0));
    QTest::keyClick(&View(), Qt::Key_Space);
    EXPECT_EQ(list.text(), "0010");
    EXPECT_EQ(changes.count(), 3);
    list.hidePopup();
}

TEST_F(CheckedComboBinaryTest, TheClickThatOpensTheListTicksNothing) {
    // Through the window system, as a real click: the release of the press that opened the
    // list goes to the list, over an item.
    QWindow* window = list.window()->windowHandle();
    ASSERT_NE(window, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        QTest::mousePress(window, Qt::LeftButton, {}, list.mapTo(list.window(), QPoint(5, 5)));
        ASSERT_TRUE(test::WaitFor([&] { return View().isVisible(); }));
        const QPoint onItem = list.window()->mapFromGlobal(
            View().viewport()->mapToGlobal(ItemCentre(View().currentIndex().row())));
        QTest::mouseRelease(window, Qt::LeftButton, {}, onItem);
        EXPECT_EQ(list.text(), "0000");
        list.hidePopup();
    }
    // Return takes no tick either; Space does.
    list.showPopup();
    ASSERT_TRUE(test::WaitFor([&] { return View().isVisible(); }));
    QTest::keyClick(&View(), Qt::Key_Space);
    EXPECT_EQ(list.text(), "0001");
    QTest::keyClick(&View(), Qt::Key_Return);
    EXPECT_EQ(list.text(), "0001");
    list.hidePopup();
}

TEST_F(CheckedComboBinaryTest, TheOpenListIsAsWideAsItsLongestItem) {
    list.SetItems({"B0", "MASK_STOP_RIGHT_HIGH_AND_MORE", "B2"});
    list.showPopup();
    ASSERT_TRUE(test::WaitFor([&] { return View().isVisible(); }));
    // Room for the check box and the whole name: nothing is elided.
    const int needed = View().fontMetrics().horizontalAdvance(list.itemText(1)) +
                       View().style()->pixelMetric(QStyle::PM_IndicatorWidth);
    EXPECT_GE(View().visualRect(View().model()->index(1, 0)).width(), needed);
    EXPECT_GE(View().viewport()->width(), needed);
    list.hidePopup();
}

TEST_F(CheckedComboBinaryTest, ContextMenuOfTheOpenListSelectsAndDeselectsAll) {
    list.showPopup();
    ASSERT_TRUE(test::WaitFor([&] { return View().isVisible(); }));
    QContextMenuEvent request(QContextMenuEvent::Mouse, ItemCentre(0),
                              View().viewport()->mapToGlobal(ItemCentre(0)));
    QApplication::sendEvent(View().viewport(), &request);
    EXPECT_TRUE(test::WaitFor([&] { return list.ListMenu()->isVisible(); }));
    ASSERT_NE(MenuAction("SelectAll"), nullptr);
    EXPECT_EQ(MenuAction("SelectAll")->text(), "&Select All");
    EXPECT_EQ(MenuAction("DeSelectAll")->text(), "&DeSelect All");
    MenuAction("SelectAll")->trigger();
    EXPECT_EQ(list.text(), "1111");
    MenuAction("DeSelectAll")->trigger();
    EXPECT_EQ(list.text(), "0000");
    list.ListMenu()->hide();
    list.hidePopup();
}

} // namespace
} // namespace vrx
