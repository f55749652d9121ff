#pragma once
// TFormVRX52x: the load and error-flag window of the VRX52x kit. For each of the two driver
// chips (VRX526 left, VRX529 right) it shows the eight error flags and the LoadMeter value that
// the polling cycle brings in through slots 51 and 52 while the window is shown, and sets the
// stall-detection threshold from a slider.

#include <QWidget>

#include <array>
#include <cstdint>

class QGroupBox;
class QProgressBar;
class QPushButton;
class QSlider;

namespace vrx {

class BoardLink;
class PollCycle;
class TLedLittle;

class TFormVRX52x : public QWidget {
    Q_OBJECT
public:
    static constexpr uint8_t kStallCommand = 0x53; // "S", chip, code
    static constexpr uint8_t kChip529 = 0;
    static constexpr uint8_t kChip526 = 1;
    static constexpr uint8_t kStallOffCode = 0xFF;
    static constexpr int kErrorFlagSlot = 51; // query "f"
    static constexpr int kLoadValueSlot = 52; // query "s"
    static constexpr int kTopPosition = 0;    // "SDT Off"
    static constexpr int kBottomPosition = 7;

    TFormVRX52x(BoardLink& link, PollCycle& poll, QWidget* parent = nullptr);

    // Poll answers: a1 is the VRX529's byte, a2 the VRX526's; a3 is not used.
    void ShowErrorFlags(uint8_t a1, uint8_t a2, uint8_t a3);
    void ShowLoadValues(uint8_t a1, uint8_t a2, uint8_t a3);

public slots:
    void BtnCloseClick();
    void StallSlider526Change();
    void StallSlider529Change();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct ChipGroup {
        QGroupBox* Grp = nullptr;
        QGroupBox* GrpFlags = nullptr;
        QGroupBox* GrpStall = nullptr;
        std::array<TLedLittle*, 8> Leds{}; // in the order of the flag bits
        QProgressBar* StallBar = nullptr;
        QSlider* StallSlider = nullptr;
    };

    void CreateChipGroup(ChipGroup& group, const QString& chip, const char* sdtLabel,
                         const char* offLabel);
    void FormCreate();
    void FormShow();
    void FormClose();
    void SendThreshold(uint8_t chip, const QSlider& slider);
    static void ShowFlags(const ChipGroup& group, uint8_t flags);
    static void ShowLoad(const ChipGroup& group, uint8_t load);

    BoardLink& link_;
    PollCycle& poll_;
    bool placed_ = false;

    ChipGroup vrx526_;
    ChipGroup vrx529_;
    QPushButton* BtnClose = nullptr;
};

} // namespace vrx
