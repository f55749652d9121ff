#pragma once
// TUnitsLabel: the physical value of one raw velocity or acceleration beside its input or
// display, kept up to date when the raw value, the clock or the motor's dividers change, and
// hidden while converted values are not shown.

#include "controls/units_state.h"

#include <QLabel>

#include <optional>

namespace vrx {

class TUnitsLabel : public QLabel {
    Q_OBJECT
public:
    // motor 0..2.
    TUnitsLabel(UnitsState& state, UnitKind kind, int motor, QWidget* parent = nullptr);

    // The raw values come as `field` reads them: only the bits the chip holds count (a V_MAX read
    // as 4095 means 2047).
    void SetHeldAs(const Field* field) { heldAs_ = field; }
    void SetRaw(int32_t raw);
    // The raw value as a display shows it; a text that is no number leaves the label empty.
    void SetRawText(const QString& text);

private:
    void Refresh();

    UnitsState& state_;
    UnitKind kind_;
    int motor_;
    std::optional<int32_t> raw_;
    const Field* heldAs_ = nullptr;
};

} // namespace vrx
