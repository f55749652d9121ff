#include "controls/hex_input.h"

#include "controls/system_beep.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace vrx {

std::function<void()> SystemBeep = [] { QApplication::beep(); };

namespace {

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

} // namespace

bool HexKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys without a printable character (navigation, Delete, Backspace, Tab, Enter, Escape)
    // and shortcuts keep their usual meaning.
    if (text.isEmpty() || !text.at(0).isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    if (std::all_of(text.cbegin(), text.cend(), IsHexDigit)) {
        return false;
    }
    if (SystemBeep) {
        SystemBeep();
    }
    return true;
}

QValidator::State HexValidator::validate(QString& input, int& /*pos*/) const {
    input = input.toUpper();
    return std::all_of(input.cbegin(), input.cend(), IsHexDigit) ? Acceptable : Invalid;
}

void MakeHexInput(QLineEdit* edit, int maxLength) {
    edit->setMaxLength(maxLength);
    edit->setValidator(new HexValidator(edit));
    edit->installEventFilter(new HexKeyFilter(edit));
}

} // namespace vrx
