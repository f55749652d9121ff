#pragma once
// RamPage: the "RAM Table" page of the register window. A hexadecimal grid of the chip's 128
// RAM bytes that is read from and written to the chip word by word, loaded from and saved to
// .630 files, and whose wave-table half can be computed from a shape parameter; beside it a
// box that sends one raw telegram and shows the answer.

#include "chip/ram_table.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vrx {

class BoardLink;
class TFloatSpinEdit;

class RamPage : public QWidget {
    Q_OBJECT
public:
    explicit RamPage(BoardLink& link, QWidget* parent = nullptr);

    // The grid's cells, and filling them.
    RamTable Table() const;
    void ShowTable(const RamTable& table);

public slots:
    void BtnReadRAMClick();
    void BtnWriteRAMClick();
    void BtnLoadRAMClick();
    void BtnSaveRAMClick();
    void BtnSendSPIManClick();
    void BtnShapeCalcClick();
    void BtnShapeCWClick();

private:
    QWidget* CreateGrid();
    QGroupBox* CreateManualGroup();
    QGroupBox* CreateShapeGroup();
    void ShowWords(const RamTable& table, int firstWord, int count);
    bool TableCompleteOrSay();
    void WriteWords(int first, int last, int step);

    BoardLink& link_;
    QTableWidget* StringGridHex = nullptr;
    QProgressBar* ProgressRAMTable = nullptr;
    std::array<QLineEdit*, 4> EditSPIMan{};
    std::array<QLabel*, 4> StaticSPIMan{};
    TFloatSpinEdit* EditSigma = nullptr;
};

} // namespace vrx
