#include "registers/field_input.h"

#include "controls/checked_combo_binary.h"
#include "controls/hex_input.h"
#include "controls/spin_edit.h"
#include "registers/field_display.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace vrx {

namespace {

class NumberInput : public FieldInput {
public:
    NumberInput(const InputDef& def, QWidget* parent, const std::function<void()>& changed)
        : edit_(new TSpinEdit(parent)) {
        edit_->setObjectName(def.name);
        edit_->setRange(def.min, def.max);
        edit_->setValue(0);
        QObject::connect(edit_, &TSpinEdit::valueChanged, edit_, [changed] { changed(); });
        widget_ = edit_;
        if (!def.caption.isEmpty()) {
            widget_ = new QWidget(parent);
            auto* row = new QHBoxLayout(widget_);
            row->setContentsMargins(0, 0, 0, 0);
            label_ = new QLabel(def.caption, widget_);
            label_->setBuddy(edit_);
            edit_->setParent(widget_);
            row->addWidget(label_);
            row->addWidget(edit_);
            row->addStretch(1);
        }
    }
    QWidget* Widget() const override { return widget_; }
    void SetEnabled(bool on) override {
        edit_->setEnabled(on);
        if (label_ != nullptr) {
            label_->setEnabled(on);
        }
    }
    int32_t Value() const override { return edit_->value(); }
    void CopyFrom(const FieldDisplay& display) override {
        edit_->setValue(TSpinEdit::ParseNumber(display.Text()).value_or(edit_->minimum()));
    }

private:
    TSpinEdit* edit_;
    QLabel* label_ = nullptr;
    QWidget* widget_;
};

class CheckListInput : public FieldInput {
public:
    CheckListInput(const InputDef& def, QWidget* parent, const std::function<void()>& changed)
        : list_(new TCheckedComboBinary(parent)) {
        list_->setObjectName(def.name);
        list_->SetItems(def.items);
        QObject::connect(list_, &TCheckedComboBinary::textChanged, list_, [changed] { changed(); });
    }
    QWidget* Widget() const override { return list_; }
    void SetEnabled(bool on) override { list_->setEnabled(on); }
    int32_t Value() const override { return static_cast<int32_t>(list_->Value()); }
    void CopyFrom(const FieldDisplay& display) override {
        // Item i follows the bit string's character i places from its right end; a shorter
        // string leaves the missing items unticked.
        const QString bits = display.Text();
        for (int i = 0; i < list_->count(); ++i) {
            list_->SetChecked(i, i < bits.size() && bits.at(bits.size() - 1 - i) == u'1');
        }
    }

private:
    TCheckedComboBinary* list_;
};

class FlagInput : public FieldInput {
public:
    FlagInput(const InputDef& def, QWidget* parent, const std::function<void()>& changed)
        : box_(new QCheckBox(def.caption, parent)) {
        box_->setObjectName(def.name);
        QObject::connect(box_, &QCheckBox::toggled, box_, [changed] { changed(); });
    }
    QWidget* Widget() const override { return box_; }
    void SetEnabled(bool on) override { box_->setEnabled(on); }
    int32_t Value() const override { return box_->isChecked() ? 1 : 0; }
    void CopyFrom(const FieldDisplay& display) override { box_->setChecked(display.Lit()); }

private:
    QCheckBox* box_;
};

class HexTextInput : public FieldInput {
public:
    HexTextInput(const InputDef& def, const Field& field, QWidget* parent,
                 const std::function<void()>& changed)
        : edit_(new QLineEdit(parent)), bytes_((field.width + 7) / 8) {
        edit_->setObjectName(def.name);
        MakeHexInput(edit_, 2 * bytes_);
        edit_->setText(QString(2 * bytes_, u'0'));
        edit_->setMaximumWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW")));
        QObject::connect(edit_, &QLineEdit::textChanged, edit_, [changed] { changed(); });
    }
    QWidget* Widget() const override { return edit_; }
    void SetEnabled(bool on) override { edit_->setEnabled(on); }
    int32_t Value() const override {
        // Each pair of digits is one byte, most significant first; a missing pair gives 0.
        const QString text = edit_->text();
        uint32_t value = 0;
        for (int i = 0; i < bytes_; ++i) {
            bool ok = false;
            const uint32_t byte = text.mid(2 * i, 2).toUInt(&ok, 16);
            value = (value << 8) | (ok ? byte : 0);
        }
        return static_cast<int32_t>(value);
    }
    void CopyFrom(const FieldDisplay& display) override { edit_->setText(display.Text()); }

private:
    QLineEdit* edit_;
    int bytes_;
};

} // namespace

std::unique_ptr<FieldInput> FieldInput::Create(const InputDef& def, const Field& field,
                                               QWidget* parent, std::function<void()> changed) {
    switch (def.kind) {
    case InputKind::Number:
        return std::make_unique<NumberInput>(def, parent, changed);
    case InputKind::CheckList:
        return std::make_unique<CheckListInput>(def, parent, changed);
    case InputKind::Flag:
        return std::make_unique<FlagInput>(def, parent, changed);
    case InputKind::HexText:
        return std::make_unique<HexTextInput>(def, field, parent, changed);
    }
    return nullptr;
}

} // namespace vrx
