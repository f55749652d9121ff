// Every Alt+letter of a window reaches one control: two controls that share a letter take
// turns on the same key, so a key meant to open a port could start a motor.

#include "e2e/program_fixture.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QTabBar>
#include <QTabWidget>

#include <map>

namespace vrx::test {
namespace {

// The mnemonic of every button, check box, buddy label and tab among `widgets`, by key.
void CollectMnemonics(const QList<QWidget*>& widgets, std::multimap<int, QString>& keys) {
    const auto add = [&](const QString& text, const QString& who) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) {
            keys.emplace(key[0].toCombined(), who + " \"" + text + "\"");
        }
    };
    for (QWidget* w : widgets) {
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            add(button->text(), button->objectName());
        } else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
            add(label->text(), label->objectName());
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(tabs->tabText(i), QStringLiteral("tab"));
            }
        }
    }
}

// The controls reachable at one time: those outside every tab page, and those of one page.
bool InsidePage(QWidget* w, QWidget* window) {
    for (QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget()) {
        if (qobject_cast<QTabWidget*>(p->parentWidget() ? p->parentWidget()->parentWidget()
                                                        : nullptr)) {
            return true; // p is a page, held by the tab widget's stack
        }
    }
    return false;
}

std::vector<QString> SharedLetters(QWidget* window) {
    // The window's own controls: the windows it owns have keys of their own.
    QList<QWidget*> own = window->findChildren<QWidget*>();
    own.removeIf([window](QWidget* w) { return w->window() != window; });
    QList<QWidget*> common = own;
    common.removeIf([window](QWidget* w) { return InsidePage(w, window); });
    std::vector<QList<QWidget*>> scopes = {common};
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            QList<QWidget*> scope = common;
            for (QWidget* w : tabs->widget(i)->findChildren<QWidget*>()) {
                if (own.contains(w)) {
                    scope.push_back(w);
                }
            }
            scopes.push_back(scope);
        }
    }
    std::vector<QString> clashes;
    for (const auto& scope : scopes) {
        std::multimap<int, QString> keys;
        CollectMnemonics(scope, keys);
        for (auto it = keys.begin(); it != keys.end();) {
            const auto range = keys.equal_range(it->first);
            if (std::distance(range.first, range.second) > 1) {
                QString clash;
                for (auto k = range.first; k != range.second; ++k) {
                    clash += k->second + QStringLiteral("; ");
                }
                clashes.push_back(window->objectName() + QStringLiteral(": ") + clash);
            }
            it = range.second;
        }
    }
    return clashes;
}

using AcceleratorTest = ProgramTest;

TEST_F(AcceleratorTest, NoTwoControlsOfAWindowShareALetter) {
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName().startsWith(QStringLiteral("Form"))) {
            windows.push_back(w);
        }
    }
    // The main window, the register, plot and warning windows and the three driver windows.
    ASSERT_GE(windows.size(), 7u);
    for (QWidget* window : windows) {
        for (const QString& clash : SharedLetters(window)) {
            ADD_FAILURE() << clash.toStdString();
        }
    }
}

TEST_F(AcceleratorTest, TheOpenKeyNeverStartsAMotor) {
    sim::ServedBoard* board = OpenSimulated(QStringLiteral("52x"));
    ASSERT_NE(board, nullptr);
    board->ClearTrace();
    // Open is disabled now; a second Alt+O must reach nothing that sends. Should a motor
    // command ask its warning, the question is aborted.
    QTimer abort;
    QObject::connect(&abort, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->close();
        }
    });
    abort.start(10);
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    QTest::keyClick(Main().windowHandle(), Qt::Key_O, Qt::AltModifier);
    QTest::qWait(300);
    for (const auto& frame : Frames(board->Trace().Bytes())) {
        EXPECT_TRUE(frame[0] & 0x01) << "a write went out: " << int(frame[0]);
    }
}

} // namespace
} // namespace vrx::test
