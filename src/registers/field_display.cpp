#include "registers/field_display.h"

#include "chip/value_format.h"
#include "controls/led_little.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace vrx {

namespace {

int HexDigits(const Field& field) {
    return (field.width + 3) / 4;
}

// Decimal digits of the largest value the field's bits hold.
int DecimalDigits(const Field& field) {
    return int(QString::number((uint64_t{1} << field.width) - 1).size());
}

} // namespace

FieldDisplay::FieldDisplay(const DisplayDef& def, const Field& field, QWidget* parent)
    : kind_(def.kind), field_(field) {
    if (kind_ == DisplayKind::Led) {
        led_ = new TLedLittle(parent);
        led_->setObjectName(def.name);
    } else {
        const QString start =
            kind_ == DisplayKind::Hex ? QString(HexDigits(field), u'0') : QStringLiteral("0");
        text_ = new QLabel(start, parent);
        text_->setObjectName(def.name);
        text_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Wide enough for the longest value of the field, and no wider.
        const int digits = kind_ == DisplayKind::Number ? DecimalDigits(field)
                           : kind_ == DisplayKind::Bits ? field.width
                                                        : HexDigits(field);
        text_->setFixedWidth(
            text_->fontMetrics().horizontalAdvance(QString(std::max(digits, 4), u'0')) + 12);
        text_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    if (!def.caption.isEmpty()) {
        caption_ = new QLabel(def.caption, parent);
    }
}

QWidget* FieldDisplay::Shown() const {
    return led_ != nullptr ? static_cast<QWidget*>(led_) : text_;
}

QWidget* FieldDisplay::Widget() {
    if (caption_ == nullptr) {
        return Shown();
    }
    if (widget_ == nullptr) {
        // An LED stands before its caption, a text after it.
        widget_ = new QWidget(Shown()->parentWidget());
        auto* row = new QHBoxLayout(widget_);
        row->setContentsMargins(0, 0, 0, 0);
        Shown()->setParent(widget_);
        caption_->setParent(widget_);
        row->addWidget(led_ != nullptr ? Shown() : caption_);
        row->addWidget(led_ != nullptr ? caption_ : Shown());
        row->addStretch(1);
    }
    return widget_;
}

void FieldDisplay::Show(uint32_t data) {
    const int32_t value = DecodeField(field_, data);
    switch (kind_) {
    case DisplayKind::Number:
        ShowText(QString::number(value));
        break;
    case DisplayKind::Bits:
        ShowText(QString::fromStdString(BitString(static_cast<uint32_t>(value), field_.width)));
        break;
    case DisplayKind::Hex:
        ShowText(QString::fromStdString(FormatSlotValue(value, -HexDigits(field_))));
        break;
    case DisplayKind::Led:
        led_->SetLedColor(value != 0 ? lcCyan : lcDarkCyan);
        break;
    }
}

void FieldDisplay::ShowText(const QString& text) {
    if (text_ != nullptr) {
        text_->setText(text);
    }
}

QString FieldDisplay::Text() const {
    return text_ != nullptr ? text_->text() : QString();
}

bool FieldDisplay::Lit() const {
    return led_ != nullptr && led_->LedColor() == lcCyan;
}

} // namespace vrx
