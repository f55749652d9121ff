#pragma once
// FieldInput: the editor of one register field on a register page, one small class per kind:
// a number with a range, a check list read as a bit string, a single flag, or hexadecimal
// digits. Each hands out the value that is composed into the write telegram and can take over
// the value its actual-value display shows.

#include "chip/register_map.h"
#include "registers/register_page_def.h"

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace vrx {

class FieldDisplay;

class FieldInput {
public:
    // `changed` is called on every change of the input after its creation.
    static std::unique_ptr<FieldInput> Create(const InputDef& def, const Field& field,
                                              QWidget* parent, std::function<void()> changed);
    virtual ~FieldInput() = default;

    // What the page lays out: the input, with its label if it has one.
    virtual QWidget* Widget() const = 0;
    // Enables the input and its label.
    virtual void SetEnabled(bool on) = 0;
    // The value for the write telegram; composing keeps the field's bits of it.
    virtual int32_t Value() const = 0;
    // Takes over what the display shows, clamped into the input's range.
    virtual void CopyFrom(const FieldDisplay& display) = 0;
};

} // namespace vrx
