#pragma once
// RegisterPage: one page of the register window, built from its definition. A register list
// selects the register to write; its inputs compose the data bits of the window's current
// telegram, shown in the four telegram boxes; the actual values are filled by the polling
// cycle through the displays and decoders the page enters in the poll table; Copy takes the
// actual values over into the inputs and Send hands the telegram to the window.

#include "chip/telegram.h"
#include "chip/motion_units.h"
#include "registers/register_page_def.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLayout;

namespace vrx {

class FieldDisplay;
class FieldInput;
class PollCycle;
class TUnitsLabel;
class UnitsState;

class RegisterPage : public QWidget {
    Q_OBJECT
public:
    // `telegram` is the window's current telegram, shared by all pages; `send` sends it;
    // `units` converts velocities and accelerations.
    RegisterPage(RegisterPageDef def, Telegram& telegram, std::function<void()> send,
                 UnitsState& units, QWidget* parent = nullptr);
    ~RegisterPage() override;

    const RegisterPageDef& Def() const { return def_; }
    int SelectedItem() const { return selected_; }

    // Enters the page's displays and decoders in the poll table; Unregister takes them out.
    void RegisterIn(PollCycle& poll);
    void Unregister(PollCycle& poll);

    // The page came on top: its current item is selected again.
    void Enter();

public slots:
    void RGChange(int item);
    void BtnCopyClick();
    void BtnSendClick();

private:
    struct Item {
        std::vector<std::unique_ptr<FieldInput>> inputs;
        std::vector<std::unique_ptr<FieldDisplay>> displays;
        TUnitsLabel* inputUnits = nullptr; // a velocity or acceleration only
        TUnitsLabel* displayUnits = nullptr;
    };
    struct ReadOnly {
        std::vector<std::unique_ptr<FieldDisplay>> displays;
        TUnitsLabel* units = nullptr;
    };

    QWidget* CreateItemGroups();
    QGroupBox* CreateReadOnlyGroup();
    QGroupBox* CreateTelegramGroup();
    void InputChange(int item);
    void ComposeData();
    void ShowTelegram(int firstByte);
    void EnterDisplays(const RegisterDef& reg,
                       const std::vector<std::unique_ptr<FieldDisplay>>& displays,
                       TUnitsLabel* units, PollCycle& poll);
    TUnitsLabel* UnitsBeside(const QString& name, UnitKind kind, QWidget* parent);

    RegisterPageDef def_;
    Telegram& telegram_;
    std::function<void()> send_;
    UnitsState& units_;
    int selected_ = 0;
    std::vector<Item> items_;
    std::vector<ReadOnly> readOnly_;
    std::vector<int> slots_; // poll slots this page filled
    QButtonGroup* list_ = nullptr;
    std::array<QLabel*, 4> boxes_{};
};

} // namespace vrx
