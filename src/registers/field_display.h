#pragma once
// FieldDisplay: the read-only view of one register field on a register page: a decimal text, a
// bit string, hexadecimal digits or an LED, with an optional caption beside it.

#include "chip/register_map.h"
#include "registers/register_page_def.h"

#include <QString>

class QLabel;
class QWidget;

namespace vrx {

class TLedLittle;

class FieldDisplay {
public:
    FieldDisplay(const DisplayDef& def, const Field& field, QWidget* parent);

    // The display and its caption (nullptr for none), for a page that aligns them itself.
    QWidget* Shown() const;
    QLabel* Caption() const { return caption_; }
    // The display with its caption beside it, in one widget.
    QWidget* Widget();

    // Decodes the field out of the 24 data bits of an answer.
    void Show(uint32_t data);
    // The text the polling cycle formats for a register of a single field.
    void ShowText(const QString& text);

    QString Text() const;
    bool Lit() const; // an LED showing a set bit

private:
    DisplayKind kind_;
    Field field_;
    QLabel* text_ = nullptr;
    TLedLittle* led_ = nullptr;
    QLabel* caption_ = nullptr;
    QWidget* widget_ = nullptr;
};

} // namespace vrx
