#include "controls/units_label.h"

namespace vrx {

TUnitsLabel::TUnitsLabel(UnitsState& state, UnitKind kind, int motor, QWidget* parent)
    : QLabel(parent), state_(state), kind_(kind), motor_(motor) {
    // As wide as the longest text it shows, so the values moving does not move the layout.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-999,999 steps/s\u00B2")));
    connect(&state_, &UnitsState::changed, this, &TUnitsLabel::Refresh);
    Refresh();
}

void TUnitsLabel::SetRaw(int32_t raw) {
    raw_ = raw;
    Refresh();
}

void TUnitsLabel::SetRawText(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    raw_ = ok ? std::optional<int32_t>(value) : std::nullopt;
    Refresh();
}

void TUnitsLabel::Refresh() {
    // Shown again only where this label hid itself: a label whose window is not yet shown
    // must not be shown on its own.
    if (!state_.Shown()) {
        hide();
    } else if (isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide)) {
        show();
    }
    if (!raw_) {
        setText(QString());
        return;
    }
    setText(state_.Text(kind_, motor_, heldAs_ != nullptr ? HeldValue(*heldAs_, *raw_) : *raw_));
}

} // namespace vrx
