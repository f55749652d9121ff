#include "registers/config_page.h"

#include "config/config_transfer.h"
#include "config/sha256.h"
#include "controls/atomic_file.h"
#include "controls/chosen_file.h"
#include "controls/file_dialog.h"
#include "controls/message_box.h"
#include "controls/named.h"
#include "link/board_link.h"
#include "link/serial_port.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vrx {

namespace {

const QStringList kFileFilters = {QStringLiteral("Configuration files (*.toml)"),
                                  QStringLiteral("All files (*)")};

QString Differences(int count) {
    return count == 0   ? QStringLiteral("The chip matches the file.")
           : count == 1 ? QStringLiteral("1 difference.")
                        : QStringLiteral("%1 differences.").arg(count);
}

} // namespace

ConfigPage::ConfigPage(BoardLink& link, QWidget* parent) : QWidget(parent), link_(link) {
    BtnConfigSave = NamedButton(
        QStringLiteral("BtnConfigSave"), QStringLiteral("&Save Configuration..."),
        QStringLiteral("Read every setting of the chip and its RAM, and save them to a file."),
        this);
    BtnConfigLoad = NamedButton(
        QStringLiteral("BtnConfigLoad"), QStringLiteral("&Load Configuration..."),
        QStringLiteral("Load a configuration file and show how the chip differs from it."), this);
    BtnConfigApply = NamedButton(
        QStringLiteral("BtnConfigApply"), QStringLiteral("&Apply to Chip"),
        QStringLiteral("Write what differs to the chip, then read it back to verify."), this);
    BtnConfigApply->setEnabled(false);
    BtnExport = NamedButton(
        QStringLiteral("BtnExport"), QStringLiteral("E&xport as C..."),
        QStringLiteral("Write the loaded file, or the chip as read when none is loaded, as a C "
                       "header: the words that take a chip from reset to it."),
        this);
    connect(BtnExport, &QPushButton::clicked, this, &ConfigPage::BtnExportClick);
    connect(BtnConfigSave, &QPushButton::clicked, this, &ConfigPage::BtnConfigSaveClick);
    connect(BtnConfigLoad, &QPushButton::clicked, this, &ConfigPage::BtnConfigLoadClick);
    connect(BtnConfigApply, &QPushButton::clicked, this, &ConfigPage::BtnConfigApplyClick);

    TableConfig = Named(new QTableWidget(0, 4, this), "TableConfig");
    TableConfig->setHorizontalHeaderLabels({QStringLiteral("Section"), QStringLiteral("Field"),
                                            QStringLiteral("Chip"), QStringLiteral("File")});
    TableConfig->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableConfig->verticalHeader()->setVisible(false);
    TableConfig->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    TableConfig->setToolTip(QStringLiteral("The fields in which the chip differs from the file."));

    LblConfigState = Named(new QLabel(this), "LblConfigState");

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BtnConfigSave);
    buttons->addWidget(BtnConfigLoad);
    buttons->addWidget(BtnConfigApply);
    buttons->addWidget(BtnExport);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(TableConfig, 1);
    top->addLayout(buttons);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top, 1);
    column->addWidget(LblConfigState);
}

void ConfigPage::SetBusy(bool busy) {
    // The transfers wait in the event loop: no second one may start from here meanwhile.
    BtnConfigSave->setEnabled(!busy);
    BtnConfigLoad->setEnabled(!busy);
    BtnConfigApply->setEnabled(!busy && TableConfig->rowCount() > 0);
    BtnExport->setEnabled(!busy);
}

std::optional<ChipConfig> ConfigPage::ReadChip() {
    std::optional<ChipConfig> chip;
    {
        const auto suspension = link_.SuspendPolling();
        chip = ReadChipConfig([this](const Telegram& t) { return link_.Transfer(t); });
    }
    // A port that went away has been reported already.
    if (!chip && link_.Port().IsOpen()) {
        ShowMessage(this,
                    QStringLiteral("The board does not respond. The chip's configuration could "
                                   "not be read."),
                    QMessageBox::Warning);
    }
    return chip;
}

bool ConfigPage::WriteFile(const QString& path, const std::string& text) {
    const QString reason = WriteFileAtomically(path, QByteArray::fromStdString(text));
    if (!reason.isEmpty()) {
        ShowMessage(
            this, QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason),
            QMessageBox::Critical);
    }
    return reason.isEmpty();
}

void ConfigPage::BtnConfigSaveClick() {
    const QString path =
        AskForFile(this, {.save = true, .filters = kFileFilters, .kind = kConfigFiles});
    if (path.isEmpty()) {
        return;
    }
    SetBusy(true);
    const auto chip = ReadChip();
    SetBusy(false);
    if (!chip) {
        return;
    }
    const std::string text = ConfigText(*chip, FileInfo ? FileInfo() : ConfigFileInfo());
    if (!WriteFile(path, text)) {
        return;
    }
    LblConfigState->setText(QStringLiteral("Saved to %1.").arg(QFileInfo(path).fileName()));
}

void ConfigPage::BtnConfigLoadClick() {
    // One byte past the bound is enough to refuse a file that is too large.
    const auto file =
        OpenChosenFile(this, kConfigFiles, kFileFilters, qint64(kMaxConfigFileBytes) + 1);
    if (!file) {
        return;
    }
    // Whatever comes of it, the list no longer belongs to the file loaded before.
    file_.reset();
    ShowDifferences({});
    BtnConfigApply->setEnabled(false);
    const QString name = QFileInfo(file->path).fileName();
    if (file->readError) {
        LblConfigState->setText(QStringLiteral("%1 could not be read.").arg(name));
        ShowMessage(this, QStringLiteral("File load error!"), QMessageBox::Critical);
        return;
    }
    const ParsedConfig parsed =
        ParseConfig(std::string_view(file->bytes.constData(), size_t(file->bytes.size())));
    if (parsed.error) {
        LblConfigState->setText(QStringLiteral("%1 was refused; no file is loaded.").arg(name));
        ShowMessage(this,
                    QString::fromStdString(ConfigErrorText(name.toStdString(), *parsed.error)),
                    QMessageBox::Warning);
        return;
    }
    SetBusy(true);
    const auto chip = ReadChip();
    file_ = parsed.config;
    fileName_ = name;
    fileSource_ = {
        ExportSourceName(name.toStdString()),
        Sha256Hex(std::string_view(file->bytes.constData(), size_t(file->bytes.size())))};
    ShowDifferences(chip ? Differences(*chip, *file_) : std::vector<ConfigDifference>());
    SetBusy(false);
    LblConfigState->setText(name + QStringLiteral(": ") +
                            (chip ? Differences(TableConfig->rowCount())
                                  : QStringLiteral("the chip could not be read.")));
}

void ConfigPage::BtnConfigApplyClick() {
    if (!file_) {
        return;
    }
    SetBusy(true);
    ApplyOutcome outcome;
    {
        const auto suspension = link_.SuspendPolling();
        outcome =
            ApplyConfig([this](const Telegram& t) { return link_.Transfer(t); }, *file_, false);
    }
    const QString stop = QString::fromStdString(ApplyStopText(outcome));
    if (!stop.isEmpty()) {
        LblConfigState->setText(fileName_ + QStringLiteral(": ") + stop);
        SetBusy(false);
        if (link_.Port().IsOpen()) {
            ShowMessage(this, stop, QMessageBox::Warning);
        }
        return;
    }
    ShowDifferences(outcome.remaining);
    SetBusy(false);
    // The RAM page shows what the chip holds now: its old bytes, written back, would undo this.
    if (outcome.verified && ShowRam) {
        RamTable ram;
        for (int address = 0; address < kRamBytes; ++address) {
            ram.SetByte(address, outcome.verified->ram[size_t(address)].value_or(0));
        }
        ShowRam(ram);
    }
    const int written = int(outcome.changes.size());
    const QString changes = written == 1 ? QStringLiteral("1 change written")
                                         : QStringLiteral("%1 changes written").arg(written);
    LblConfigState->setText(
        fileName_ + QStringLiteral(": ") + changes +
        (outcome.remaining.empty()
             ? QStringLiteral("; the chip matches the file.")
             : QStringLiteral("; ") + Differences(int(outcome.remaining.size())).toLower()));
}

void ConfigPage::BtnExportClick() {
    const QString name = file_ ? fileName_ : QStringLiteral("The chip");
    const QString path = AskForFile(
        this,
        {.save = true,
         .caption =
             QStringLiteral("Export %1 as C").arg(file_ ? fileName_ : QStringLiteral("the chip")),
         .filters = {QStringLiteral("C headers (*.h)"), QStringLiteral("All files (*)")},
         .kind = kFirmwareHeaders});
    if (path.isEmpty()) {
        return;
    }
    ExportOptions options;
    options.clockMhz = ClockMhz ? ClockMhz() : kDefaultClockMhz;
    std::string text;
    if (file_) {
        text = ExportText(*file_, fileSource_, options);
    } else {
        SetBusy(true);
        const auto chip = ReadChip();
        SetBusy(false);
        if (!chip) {
            LblConfigState->setText(QStringLiteral("The chip could not be read; nothing was "
                                                   "exported."));
            return;
        }
        const std::string board = FileInfo ? FileInfo().board : std::string("a board");
        text = ExportText(*chip, {"the chip of " + board + " as read", {}}, options);
    }
    if (!WriteFile(path, text)) {
        return;
    }
    LblConfigState->setText(
        QStringLiteral("%1 exported to %2.").arg(name, QFileInfo(path).fileName()));
}

void ConfigPage::ShowDifferences(const std::vector<ConfigDifference>& differences) {
    TableConfig->setRowCount(int(differences.size()));
    for (int row = 0; row < int(differences.size()); ++row) {
        const ConfigDifference& d = differences[size_t(row)];
        const QStringList cells = {QString::fromStdString(d.section),
                                   QString::fromStdString(d.field),
                                   QString::fromStdString(ValueText(d, d.chip)),
                                   QString::fromStdString(ValueText(d, d.file))};
        for (int column = 0; column < cells.size(); ++column) {
            TableConfig->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
}

} // namespace vrx
