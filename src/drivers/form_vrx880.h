#pragma once
// TFormVRX880: the register window of the VRX880 kit. While it is shown, the polling cycle reads
// the board's mode byte, supply voltage and potentiometer through slots 53..55, and the window
// shows them. Its panels for writing and reading VRX880 registers are laid out without a
// function of their own, and its mode controls only show the board's state: the window sends
// nothing.

#include <QWidget>

#include <array>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vrx {

class PollCycle;
class TSpinEdit;

class TFormVRX880 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kModeSlot = 53;          // query "m"
    static constexpr int kVoltageSlot = 54;       // query "v"
    static constexpr int kPotentiometerSlot = 55; // query "p"

    explicit TFormVRX880(PollCycle& poll, QWidget* parent = nullptr);

    // Poll answers: a3 is the mode byte; the readings are a2 (low) and a3 (high).
    void ShowModeFlags(uint8_t a1, uint8_t a2, uint8_t a3);
    void ShowVoltage(uint8_t a1, uint8_t a2, uint8_t a3);
    void ShowPotentiometer(uint8_t a1, uint8_t a2, uint8_t a3);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* CreateWriteGroup();
    QGroupBox* CreateReadGroup();
    QGroupBox* CreateSpecialGroup();
    void FormCreate();
    void FormShow();
    void FormClose();
    void SetQuerySlots(int32_t pageIndex);

    PollCycle& poll_;

    QGroupBox* GrpWriteReg880 = nullptr;
    QGroupBox* RGRegisters880 = nullptr;
    QGroupBox* GrpNewValue = nullptr;
    std::array<TSpinEdit*, 5> SpinEdit{};
    QGroupBox* GrpSPI = nullptr;
    std::array<QLabel*, 4> SpiBytes{}; // StaticSPI1, StaticText1..3
    QPushButton* BtnSendSPI = nullptr;

    QGroupBox* GrpReadReg880 = nullptr;
    QLabel* StaticText4 = nullptr;

    QGroupBox* GrpSpecial = nullptr;
    QCheckBox* CheckEnable880 = nullptr;
    QCheckBox* CheckShaft880 = nullptr;
    QRadioButton* RBModeUVW = nullptr;
    QRadioButton* RBModeXY = nullptr;
    QCheckBox* CheckGPO = nullptr;
    QLabel* StaticPoti = nullptr;
    QLabel* StaticVoltage = nullptr;
};

} // namespace vrx
