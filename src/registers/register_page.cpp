#include "registers/register_page.h"
#include "controls/named.h"

#include "chip/poll_slots.h"
#include "controls/units_label.h"
#include "link/poll_cycle.h"
#include "registers/field_display.h"
#include "registers/field_input.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vrx {

namespace {

QGroupBox* Group(const QString& caption, const QString& hint, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setToolTip(hint);
    return group;
}

// Lays widgets out in lines of `columns` (all in one line for 0); numbers and texts first, so
// the flags of a register line up beneath them.
QWidget* Cell(std::vector<QWidget*> widgets, const std::vector<bool>& first, int columns,
              QWidget* parent) {
    std::vector<size_t> order(widgets.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_partition(order.begin(), order.end(), [&](size_t i) { return first[i]; });
    auto* cell = new QWidget(parent);
    auto* grid = new QGridLayout(cell);
    grid->setContentsMargins(0, 0, 0, 0);
    const int perLine = columns > 0 ? columns : std::max<int>(1, int(widgets.size()));
    for (size_t k = 0; k < order.size(); ++k) {
        widgets[order[k]]->setParent(cell);
        grid->addWidget(widgets[order[k]], int(k) / perLine, int(k) % perLine);
    }
    grid->setColumnStretch(perLine, 1);
    return cell;
}

} // namespace

RegisterPage::RegisterPage(RegisterPageDef def, Telegram& telegram, std::function<void()> send,
                           UnitsState& units, QWidget* parent)
    : QWidget(parent), def_(std::move(def)), telegram_(telegram), send_(std::move(send)),
      units_(units) {
    QWidget* items = CreateItemGroups();
    QGroupBox* readOnly = CreateReadOnlyGroup();
    auto* copy = NamedButton(def_.copyName, QStringLiteral("&Copy"), def_.copyHint, this);
    connect(copy, &QPushButton::clicked, this, &RegisterPage::BtnCopyClick);

    auto* bottom = new QHBoxLayout;
    if (!def_.readOnlyFirst) {
        bottom->addWidget(readOnly);
    }
    bottom->addWidget(copy, 0, Qt::AlignBottom);
    bottom->addWidget(CreateTelegramGroup());
    bottom->addStretch(1);

    auto* column = new QVBoxLayout(this);
    if (def_.readOnlyFirst) {
        column->addWidget(readOnly);
    }
    column->addWidget(items);
    column->addLayout(bottom);
    column->addStretch(1);
}

RegisterPage::~RegisterPage() = default;

QWidget* RegisterPage::CreateItemGroups() {
    QWidget* holder = this;
    QGroupBox* outer = nullptr;
    if (!def_.readWriteCaption.isEmpty()) {
        outer = new QGroupBox(def_.readWriteCaption, this);
        holder = outer;
    }
    auto* listBox = Group(QStringLiteral(" Register "), def_.listHint, holder);
    listBox->setObjectName(def_.listName);
    auto* newBox = Group(QStringLiteral(" New Value "), def_.newValueHint, holder);
    auto* actualBox = Group(QStringLiteral(" Actual Values "), def_.actualHint, holder);
    auto* listColumn = new QVBoxLayout(listBox);
    auto* newColumn = new QVBoxLayout(newBox);
    auto* actualColumn = new QVBoxLayout(actualBox);
    list_ = new QButtonGroup(this);

    for (size_t j = 0; j < def_.items.size(); ++j) {
        const RegisterItemDef& itemDef = def_.items[j];
        const int number = static_cast<int>(j);
        Item& item = items_.emplace_back();
        auto* button = new QRadioButton(itemDef.text, listBox);
        list_->addButton(button, number);

        std::vector<QWidget*> inputWidgets;
        std::vector<bool> inputFirst;
        for (size_t k = 0; k < itemDef.inputs.size(); ++k) {
            const InputDef& inputDef = itemDef.inputs[k];
            item.inputs.push_back(FieldInput::Create(inputDef, itemDef.reg->writeFields[k], newBox,
                                                     [this, number] { InputChange(number); }));
            inputWidgets.push_back(item.inputs.back()->Widget());
            inputFirst.push_back(inputDef.kind != InputKind::Flag);
        }
        if (!itemDef.note.isEmpty()) {
            inputWidgets.push_back(new QLabel(itemDef.note, newBox));
            inputFirst.push_back(true);
        }
        std::vector<QWidget*> displayWidgets;
        std::vector<bool> displayFirst;
        for (size_t k = 0; k < itemDef.displays.size(); ++k) {
            const DisplayDef& displayDef = itemDef.displays[k];
            item.displays.push_back(
                std::make_unique<FieldDisplay>(displayDef, itemDef.reg->readFields[k], actualBox));
            displayWidgets.push_back(item.displays.back()->Widget());
            displayFirst.push_back(displayDef.kind != DisplayKind::Led);
        }
        if (const auto kind = UnitKindOf(*itemDef.reg)) {
            // Each beside the one number of its register.
            item.inputUnits = UnitsBeside(itemDef.inputs[0].name, *kind, newBox);
            item.inputUnits->SetRaw(item.inputs[0]->Value());
            inputWidgets.push_back(item.inputUnits);
            inputFirst.push_back(true);
            item.displayUnits = UnitsBeside(itemDef.displays[0].name, *kind, actualBox);
            item.displayUnits->SetHeldAs(&itemDef.reg->readFields[0]);
            displayWidgets.push_back(item.displayUnits);
            displayFirst.push_back(true);
        }
        QWidget* inputs = Cell(inputWidgets, inputFirst, itemDef.columns, newBox);
        QWidget* displays = Cell(displayWidgets, displayFirst, itemDef.columns, actualBox);

        // The three columns line up row by row.
        const int height = std::max({button->sizeHint().height(), inputs->sizeHint().height(),
                                     displays->sizeHint().height()});
        for (QWidget* w : {static_cast<QWidget*>(button), inputs, displays}) {
            w->setFixedHeight(height);
        }
        listColumn->addWidget(button);
        newColumn->addWidget(inputs);
        actualColumn->addWidget(displays);
    }
    for (QVBoxLayout* c : {listColumn, newColumn, actualColumn}) {
        c->addStretch(1);
    }
    list_->button(selected_)->setChecked(true);
    connect(list_, &QButtonGroup::idToggled, this, [this](int item, bool checked) {
        if (checked) {
            RGChange(item);
        }
    });

    auto* row = new QHBoxLayout;
    row->addWidget(listBox);
    row->addWidget(newBox);
    row->addWidget(actualBox);
    row->addStretch(1);
    if (outer == nullptr) {
        auto* plain = new QWidget(this);
        row->setContentsMargins(0, 0, 0, 0);
        plain->setLayout(row);
        return plain;
    }
    outer->setLayout(row);
    return outer;
}

QGroupBox* RegisterPage::CreateReadOnlyGroup() {
    auto* group = Group(def_.readOnlyCaption, def_.readOnlyHint, this);
    auto* row = new QHBoxLayout(group);
    auto* texts = new QGridLayout;
    row->addLayout(texts);
    int line = 0;
    for (const ReadOnlyDef& readDef : def_.readOnly) {
        ReadOnly& entry = readOnly_.emplace_back();
        QGroupBox* sub = nullptr;
        QGridLayout* leds = nullptr;
        if (!readDef.groupName.isEmpty()) {
            sub = new QGroupBox(readDef.groupCaption, group);
            sub->setObjectName(readDef.groupName);
            leds = new QGridLayout(sub);
            row->addWidget(sub);
        }
        for (size_t k = 0; k < readDef.displays.size(); ++k) {
            entry.displays.push_back(std::make_unique<FieldDisplay>(
                readDef.displays[k], readDef.reg->readFields[k], sub != nullptr ? sub : group));
            FieldDisplay& display = *entry.displays.back();
            if (leds != nullptr) {
                leds->addWidget(display.Widget(), int(k) / 2, int(k) % 2);
            } else {
                // Captions and values line up in two columns.
                if (display.Caption() != nullptr) {
                    texts->addWidget(display.Caption(), line, 0);
                }
                texts->addWidget(display.Shown(), line, 1);
                if (const auto kind = UnitKindOf(*readDef.reg)) {
                    entry.units = UnitsBeside(readDef.displays[k].name, *kind, group);
                    entry.units->SetHeldAs(&readDef.reg->readFields[k]);
                    texts->addWidget(entry.units, line, 2);
                }
                ++line;
            }
        }
    }
    row->addStretch(1);
    return group;
}

TUnitsLabel* RegisterPage::UnitsBeside(const QString& name, UnitKind kind, QWidget* parent) {
    auto* label = new TUnitsLabel(units_, kind, def_.motor, parent);
    label->setObjectName(QStringLiteral("Units") + name);
    return label;
}

QGroupBox* RegisterPage::CreateTelegramGroup() {
    auto* group = Group(QStringLiteral(" SPI Telegram "), def_.telegramHint, this);
    auto* row = new QHBoxLayout(group);
    QFont large = font();
    large.setPointSize(large.pointSize() + 4);
    large.setBold(true);
    for (size_t k = 0; k < boxes_.size(); ++k) {
        auto* box = new QLabel(QStringLiteral("FF"), group);
        box->setObjectName(QStringLiteral("StaticSPI%1%2").arg(k + 1).arg(def_.boxSuffix));
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box->setFont(large);
        box->setAlignment(Qt::AlignCenter);
        box->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("WW")) + 8);
        boxes_[k] = box;
        row->addWidget(box);
    }
    auto* send = NamedButton(def_.sendName, QStringLiteral("&Send SPI Telegram"),
                             QStringLiteral("Click here to send the SPI telegram to change the "
                                            "selected register."),
                             group);
    connect(send, &QPushButton::clicked, this, &RegisterPage::BtnSendClick);
    row->addWidget(send);
    return group;
}

void RegisterPage::RegisterIn(PollCycle& poll) {
    for (size_t j = 0; j < items_.size(); ++j) {
        EnterDisplays(*def_.items[j].reg, items_[j].displays, items_[j].displayUnits, poll);
    }
    for (size_t j = 0; j < readOnly_.size(); ++j) {
        EnterDisplays(*def_.readOnly[j].reg, readOnly_[j].displays, readOnly_[j].units, poll);
    }
}

void RegisterPage::EnterDisplays(const RegisterDef& reg,
                                 const std::vector<std::unique_ptr<FieldDisplay>>& displays,
                                 TUnitsLabel* units, PollCycle& poll) {
    const int slot = PollSlotOf(reg, def_.motor);
    if (displays.empty() || slot < 0) {
        return;
    }
    slots_.push_back(slot);
    if (reg.readFields.size() == 1) {
        // A single value: the polling cycle formats it and shows it while the window is shown.
        FieldDisplay* display = displays.front().get();
        poll.Slot(slot).RegisterDisplay = [display, units](const QString& text) {
            display->ShowText(text);
            if (units != nullptr) {
                units->SetRawText(text);
            }
        };
        return;
    }
    std::vector<FieldDisplay*> targets;
    for (const auto& display : displays) {
        targets.push_back(display.get());
    }
    poll.Slot(slot).OnAnswer = [targets](uint8_t a1, uint8_t a2, uint8_t a3) {
        const uint32_t data = (uint32_t{a1} << 16) | (uint32_t{a2} << 8) | a3;
        for (FieldDisplay* display : targets) {
            display->Show(data);
        }
    };
}

void RegisterPage::Unregister(PollCycle& poll) {
    for (int slot : slots_) {
        poll.Slot(slot).RegisterDisplay = nullptr;
        poll.Slot(slot).OnAnswer = nullptr;
    }
    slots_.clear();
}

void RegisterPage::Enter() {
    RGChange(selected_);
}

void RegisterPage::RGChange(int item) {
    if (item < 0 || item >= int(items_.size())) {
        return;
    }
    selected_ = item;
    if (!list_->button(item)->isChecked()) {
        list_->button(item)->setChecked(true);
    }
    telegram_.b0 = WriteByte(*def_.items[size_t(item)].reg, def_.motor);
    ComposeData();
    ShowTelegram(0);
    for (size_t j = 0; j < items_.size(); ++j) {
        for (const auto& input : items_[j].inputs) {
            input->SetEnabled(int(j) == item);
        }
    }
}

void RegisterPage::InputChange(int item) {
    const Item& changed = items_[size_t(item)];
    if (changed.inputUnits != nullptr) {
        changed.inputUnits->SetRaw(changed.inputs[0]->Value());
    }
    if (item == selected_) {
        ComposeData();
    }
    ShowTelegram(1);
}

void RegisterPage::ComposeData() {
    const RegisterItemDef& def = def_.items[size_t(selected_)];
    std::vector<int32_t> values;
    for (const auto& input : items_[size_t(selected_)].inputs) {
        values.push_back(input->Value());
    }
    const Telegram data = Telegram::Make(0, ComposeFields(def.reg->writeFields, values));
    telegram_.b1 = data.b1;
    telegram_.b2 = data.b2;
    telegram_.b3 = data.b3;
}

void RegisterPage::ShowTelegram(int firstByte) {
    const std::array<uint8_t, 4> bytes = {telegram_.b0, telegram_.b1, telegram_.b2, telegram_.b3};
    for (size_t k = size_t(firstByte); k < bytes.size(); ++k) {
        boxes_[k]->setText(QStringLiteral("%1").arg(bytes[k], 2, 16, QLatin1Char('0')).toUpper());
    }
}

void RegisterPage::BtnCopyClick() {
    for (Item& item : items_) {
        for (size_t k = 0; k < item.inputs.size(); ++k) {
            item.inputs[k]->CopyFrom(*item.displays[k]);
        }
    }
}

void RegisterPage::BtnSendClick() {
    if (send_) {
        send_();
    }
}

} // namespace vrx
