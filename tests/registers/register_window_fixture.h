#pragma once
// The register window on a link whose port stays closed: the pages, their telegrams and the
// displays the polling cycle fills, without a board.

#include "controls/checked_combo_binary.h"
#include "controls/led_little.h"
#include "controls/spin_edit.h"
#include "controls/units_state.h"
#include "link/board_link.h"
#include "link/poll_cycle.h"
#include "link/serial_port.h"
#include "registers/form_advanced.h"
#include "registers/register_page.h"

#include "support/qt_print.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace vrx::test {

class RegisterWindowTest : public testing::Test {
protected:
    template <class T = QWidget> T* Find(const QString& name) {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString Text(const QString& name) { return Find<QLabel>(name)->text(); }

    void ShowPage(int page) { Find<QTabWidget>("PageControl")->setCurrentIndex(page); }
    // Picks item `item` of the page's register list.
    void Select(int page, int item) {
        ShowPage(page);
        auto* list = Find<QGroupBox>(window.Page(page)->Def().listName);
        list->findChildren<QRadioButton*>().at(item)->setChecked(true);
    }
    // Gives an input the text a user would type: a number, a bit string for a check list,
    // "1" or "0" for a check box, hexadecimal digits.
    void Enter(const QString& name, const QString& text) {
        QWidget* input = Find(name);
        if (auto* spin = qobject_cast<TSpinEdit*>(input)) {
            spin->findChild<QLineEdit*>()->setText(text);
        } else if (auto* list = qobject_cast<TCheckedComboBinary*>(input)) {
            for (int i = 0; i < list->count(); ++i) {
                list->SetChecked(i, text.at(text.size() - 1 - i) == u'1');
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(input)) {
            box->setChecked(text == "1");
        } else if (auto* edit = qobject_cast<QLineEdit*>(input)) {
            edit->setText(text);
        }
    }
    // The four telegram boxes of a page, as "B0 B1 B2 B3".
    QString Boxes(int page) {
        const QString suffix = window.Page(page)->Def().boxSuffix;
        QStringList bytes;
        for (int k = 1; k <= 4; ++k) {
            bytes << Text(QStringLiteral("StaticSPI%1%2").arg(k).arg(suffix));
        }
        return bytes.join(' ');
    }
    // The inputs of a page that are enabled, by name.
    QStringList EnabledInputs(int page) {
        QStringList names;
        for (QWidget* w : window.Page(page)->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if ((name.startsWith("Edit") || name.startsWith("Cb") || name.startsWith("CB")) &&
                w->isEnabled()) {
                names << name;
            }
        }
        names.sort();
        return names;
    }
    // Hands the polling cycle an answer to a slot, as a poll reply would.
    void Answer(int slot, uint8_t a1, uint8_t a2, uint8_t a3) {
        poll.PollIndex = slot;
        poll.DistributeReply(vrx::Answer{0, a1, a2, a3});
    }

    TSerialPort port;
    BoardLink link{port};
    PollCycle poll{link};
    UnitsState units;
    TFormAdvanced window{link, poll, units};
};

} // namespace vrx::test
