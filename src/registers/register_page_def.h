#pragma once
// What a register page shows, as data: its register items with one input per write field and
// one display per read field, the read-only registers, and the captions, hints and object
// names. The register map of the chip holds the bits; these definitions add only what is
// visible, so the composition of telegrams and the decoding of answers follow from the map.

#include "chip/register_map.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vrx {

enum class InputKind {
    Number,    // integer spin edit with the field's range
    CheckList, // drop-down list of check boxes, one per bit
    Flag,      // check box of a one-bit field
    HexText,   // hexadecimal digits, two per byte of the field
};

enum class DisplayKind {
    Number, // decimal text
    Bits,   // bit string as wide as the field
    Hex,    // hexadecimal digits, two per byte
    Led,    // one bit as an LED
};

struct InputDef {
    QString name; // objectName
    InputKind kind = InputKind::Number;
    QString caption; // label of a number, text of a check box; empty for none
    int min = 0;     // Number: range
    int max = 0;
    QStringList items; // CheckList: item texts, bit 0 first
};

struct DisplayDef {
    QString name; // objectName
    DisplayKind kind = DisplayKind::Number;
    QString caption; // label beside it; empty for none
};

struct RegisterItemDef {
    const RegisterDef* reg = nullptr;
    QString text;                     // text of the register list's button
    std::vector<InputDef> inputs;     // one per write field of the register, in field order
    std::vector<DisplayDef> displays; // one per read field, in field order; empty: shown elsewhere
    QString note;    // shown in place of inputs, e.g. for a register written with 0
    int columns = 0; // inputs and displays per line; 0: all in one line
};

struct ReadOnlyDef {
    const RegisterDef* reg = nullptr;
    std::vector<DisplayDef> displays; // one per read field
    QString groupName;                // non-empty: the displays sit in a group of their own
    QString groupCaption;
};

struct RegisterPageDef {
    int motor = 0; // 0..2; the global registers ignore it
    QString tabText;
    QString windowCaption;
    QString boxSuffix; // the telegram boxes are StaticSPI1<suffix> .. StaticSPI4<suffix>

    QString listName;
    QString listHint;
    QString readWriteCaption; // non-empty: list, inputs and actual values sit in this group
    QString newValueHint;
    QString actualHint;
    QString readOnlyCaption;
    QString readOnlyHint;
    bool readOnlyFirst = false; // the read-only group above the items instead of below
    QString copyName;
    QString copyHint;
    QString telegramHint;
    QString sendName;

    std::vector<RegisterItemDef> items;
    std::vector<ReadOnlyDef> readOnly;
};

// Page n (0..2) of the three motors, and the global page.
RegisterPageDef MotorPageDef(int motor);
RegisterPageDef GlobalPageDef();

} // namespace vrx
