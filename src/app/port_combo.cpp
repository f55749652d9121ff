#include "app/port_combo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

namespace vrx {

namespace {

bool Shows(const QComboBox& combo, const QList<PortChoice>& choices) {
    if (combo.count() != choices.size()) {
        return false;
    }
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i) != choices[i].text ||
            combo.itemData(i).toString() != choices[i].port) {
            return false;
        }
    }
    return true;
}

} // namespace

void ShowPortChoices(QComboBox& combo, const QList<PortChoice>& choices) {
    if (Shows(combo, choices)) {
        return;
    }
    const QString port = ChosenPort(combo);
    const QString text = combo.currentText();
    const int cursor = combo.lineEdit() != nullptr ? combo.lineEdit()->cursorPosition() : 0;
    combo.clear();
    for (const PortChoice& choice : choices) {
        combo.addItem(choice.text, choice.port);
    }
    // An adapter's description is longer than the box: the list shows it whole.
    combo.view()->setMinimumWidth(combo.view()->sizeHintForColumn(0) +
                                  combo.view()->verticalScrollBar()->sizeHint().width());
    // A chosen adapter that has gone stays chosen by its port, and is selected again when it
    // comes back; so is a typed port that has come.
    SelectPort(combo, port);
    if (combo.lineEdit() != nullptr && combo.currentText() == text) {
        combo.lineEdit()->setCursorPosition(cursor);
    }
}

QString ChosenPort(const QComboBox& combo) {
    const int item = combo.currentIndex();
    if (item >= 0 && combo.currentText() == combo.itemText(item)) {
        return combo.itemData(item).toString();
    }
    return combo.currentText();
}

void SelectPort(QComboBox& combo, const QString& port) {
    const int item = port.isEmpty() ? -1 : combo.findData(port);
    combo.setCurrentIndex(item);
    if (item < 0) {
        combo.setEditText(port);
    }
}

} // namespace vrx
