#pragma once
// Hexadecimal input fields: typed characters other than 0-9, A-F and a-f are dropped with the
// system beep (Backspace, Tab, Enter, Escape, navigation keys and shortcuts pass), letters show
// upper case, and pasted text that is not hexadecimal is refused.

#include <QObject>
#include <QValidator>

class QLineEdit;

namespace vrx {

class HexKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Accepts hexadecimal digits only and upper-cases them.
class HexValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Makes `edit` a hexadecimal field of at most `maxLength` characters.
void MakeHexInput(QLineEdit* edit, int maxLength);

} // namespace vrx
