#pragma once
// ConfigPage: the "Configuration" page of the register window. It saves the chip's whole set-up
// (every configuration register and the RAM, read from the chip) to a file, loads a file and
// shows how the chip differs from it, and applies the file: writes what differs and reads the
// chip back to verify. It exports the loaded file, or the chip as read, as a C header for
// firmware. It polls nothing.

#include "chip/ram_table.h"
#include "config/chip_config.h"
#include "config/config_export.h"
#include "config/config_file.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace vrx {

class BoardLink;

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigPage(BoardLink& link, QWidget* parent = nullptr);

    // Who saves a file, from which board; the main window knows the board.
    std::function<ConfigFileInfo()> FileInfo;
    // After an apply: the RAM as the chip holds it, read back.
    std::function<void(const RamTable&)> ShowRam;
    // The board's clock in MHz, for the steps/s of an export.
    std::function<int()> ClockMhz;

public slots:
    void BtnConfigSaveClick();
    void BtnConfigLoadClick();
    void BtnConfigApplyClick();
    void BtnExportClick();

private:
    // The chip's configuration with polling suspended; says so when the board does not answer.
    std::optional<ChipConfig> ReadChip();
    // The whole text into `path`, replacing it only once written; says why when it cannot.
    bool WriteFile(const QString& path, const std::string& text);
    void ShowDifferences(const std::vector<ConfigDifference>& differences);
    void SetBusy(bool busy);

    BoardLink& link_;
    std::optional<ChipConfig> file_; // the configuration loaded last, while the list shows it
    QString fileName_;               // its name
    ExportSource fileSource_;        // its name and digest, as an export names them
    QPushButton* BtnConfigSave = nullptr;
    QPushButton* BtnConfigLoad = nullptr;
    QPushButton* BtnConfigApply = nullptr;
    QPushButton* BtnExport = nullptr;
    QTableWidget* TableConfig = nullptr;
    QLabel* LblConfigState = nullptr;
};

} // namespace vrx
