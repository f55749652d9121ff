#pragma once
// TFormVRX516: the driver current window of the VRX516 kit. It holds one maximum current per
// motor in mA and, on Apply, sends the three "P" commands to the board with polling suspended.
// Nothing is read back; the values live only in the fields.

#include <QWidget>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QPushButton;

namespace vrx {

class BoardLink;
class TSerialPort;
class TSpinEdit;

class TFormVRX516 : public QWidget {
    Q_OBJECT
public:
    static constexpr uint8_t kCurrentCommand = 0x50; // "P", motor 0..2, code

    TFormVRX516(BoardLink& link, TSerialPort& port, QWidget* parent = nullptr);

public slots:
    void BtnApplyClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // Busy-waits until the command has left the transmit queue, at most the reply timeout.

    BoardLink& link_;
    TSerialPort& port_;
    bool placed_ = false;

    QGroupBox* GrpCurrent = nullptr;
    std::array<QLabel*, 3> LblMotor{};
    std::array<TSpinEdit*, 3> EditMotor{};
    QPushButton* BtnApply = nullptr;
};

} // namespace vrx
