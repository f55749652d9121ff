#include "registers/ram_page.h"
#include "controls/named.h"

#include "chip/ram_file.h"
#include "chip/ram_transfer.h"
#include "chip/strict_ram_file.h"
#include "chip/wave_shape.h"
#include "controls/atomic_file.h"
#include "controls/chosen_file.h"
#include "controls/file_dialog.h"
#include "controls/float_spin_edit.h"
#include "controls/hex_input.h"
#include "controls/message_box.h"
#include "link/board_link.h"
#include "link/serial_port.h"
#include "registers/progress_pacer.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vrx {

namespace {

const QStringList kFileFilters = {QStringLiteral("VRX630 Configuration files (*.630)"),
                                  QStringLiteral("All files (*)")};

// Cells are edited as two hexadecimal digits, upper-cased as typed.
class HexCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("CellEditor"));
        MakeHexInput(editor, 2);
        return editor;
    }
};

QString HexByte(uint8_t value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

RamPage::RamPage(BoardLink& link, QWidget* parent) : QWidget(parent), link_(link) {
    auto* buttons = new QVBoxLayout;
    const auto add = [&](const char* name, const char* caption, const char* hint,
                         void (RamPage::*handler)()) {
        auto* button = NamedButton(QLatin1String(name), QString::fromLatin1(caption),
                                   QString::fromLatin1(hint), this);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    add("BtnReadRAM", "&Read from RAM",
        "Click this button to read the contents of the VRX630 RAM (driver configuration and "
        "microstepping) into the editor",
        &RamPage::BtnReadRAMClick);
    add("BtnWriteRAM", "&Write to RAM",
        "Click this button to write the contents of the editor into the VRX630 RAM (driver "
        "configuration and microstepping).",
        &RamPage::BtnWriteRAMClick);
    add("BtnLoadRAM", "&Load from File...", "Load the contens of a file into the RAM editor.",
        &RamPage::BtnLoadRAMClick);
    add("BtnSaveRAM", "&Save to File...", "Save the contents of the RAM editor to a file.",
        &RamPage::BtnSaveRAMClick);

    auto* side = new QHBoxLayout;
    side->addWidget(CreateManualGroup());
    side->addWidget(CreateShapeGroup());
    side->addStretch(1);

    buttons->addStretch(1);
    auto* editor = new QGridLayout;
    editor->addWidget(CreateGrid(), 0, 0);
    editor->addWidget(ProgressRAMTable, 1, 0);
    editor->addLayout(buttons, 0, 1);
    editor->setColumnStretch(2, 1);

    auto* column = new QVBoxLayout(this);
    column->addLayout(editor);
    column->addLayout(side);
    column->addStretch(1);
}

QWidget* RamPage::CreateGrid() {
    StringGridHex = new QTableWidget(RamTable::kRows, RamTable::kColumns, this);
    StringGridHex->setObjectName(QStringLiteral("StringGridHex"));
    StringGridHex->setToolTip(QStringLiteral("This is the RAM editor."));
    StringGridHex->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    StringGridHex->setItemDelegate(new HexCellDelegate(StringGridHex));
    StringGridHex->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGridHex->setSelectionMode(QAbstractItemView::SingleSelection);
    // The row heading and the column heading together read as the byte's RAM address.
    QStringList columns;
    for (int c = 0; c < RamTable::kColumns; ++c) {
        columns << QStringLiteral(" %1").arg(c, 1, 16).toUpper();
    }
    QStringList rows;
    for (int r = 0; r < RamTable::kRows; ++r) {
        rows << QStringLiteral(" %1").arg(r, 1, 16).toUpper() + u'0';
    }
    StringGridHex->setHorizontalHeaderLabels(columns);
    StringGridHex->setVerticalHeaderLabels(rows);
    const int cell = StringGridHex->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 6;
    StringGridHex->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // A column is never narrower than the header's minimum, which by default is the width of the
    // font's widest glyph and margins: under Wine half as wide again as "WWW", so that only 0 to
    // A fit. The headings " 0" to " F" need no more than a cell.
    StringGridHex->horizontalHeader()->setMinimumSectionSize(cell);
    StringGridHex->horizontalHeader()->setDefaultSectionSize(cell);
    StringGridHex->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int n = 0; n < kRamBytes; ++n) {
        auto* item = new QTableWidgetItem(QString());
        item->setTextAlignment(Qt::AlignCenter);
        StringGridHex->setItem(n / RamTable::kColumns, n % RamTable::kColumns, item);
    }
    StringGridHex->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGridHex->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As wide as the columns the header really has.
    StringGridHex->setFixedSize(
        StringGridHex->verticalHeader()->sizeHint().width() +
            StringGridHex->horizontalHeader()->length() + 4,
        StringGridHex->horizontalHeader()->sizeHint().height() +
            RamTable::kRows * StringGridHex->verticalHeader()->defaultSectionSize() + 4);

    ProgressRAMTable = new QProgressBar(this);
    ProgressRAMTable->setObjectName(QStringLiteral("ProgressRAMTable"));
    ProgressRAMTable->setRange(0, kRamBytes - 1);
    ProgressRAMTable->setValue(0);
    ProgressRAMTable->setTextVisible(false);
    return StringGridHex;
}

QGroupBox* RamPage::CreateManualGroup() {
    auto* group = new QGroupBox(QStringLiteral(" SPI Direct "), this);
    group->setObjectName(QStringLiteral("GrpSPIDirect"));
    group->setToolTip(QStringLiteral(
        "Here you can send SPI telegrams to the VRX630 directly and watch the results."));
    auto* grid = new QGridLayout(group);
    QFont large = font();
    large.setPointSize(large.pointSize() + 4);
    large.setBold(true);
    for (int k = 0; k < 4; ++k) {
        auto* edit = new QLineEdit(QStringLiteral("00"), group);
        edit->setObjectName(QStringLiteral("EditSPIMan%1").arg(k + 1));
        edit->setToolTip(QStringLiteral("Enter an SPI telegram here."));
        MakeHexInput(edit, 2);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 8);
        EditSPIMan[size_t(k)] = edit;
        grid->addWidget(edit, 0, k, Qt::AlignCenter);

        auto* answer = new QLabel(QStringLiteral("FF"), group);
        answer->setObjectName(QStringLiteral("StaticSPIMan%1").arg(k + 1));
        answer->setToolTip(QStringLiteral("An SPI telegram from the VRX630 is displayed here."));
        answer->setFont(large);
        answer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        answer->setAlignment(Qt::AlignCenter);
        answer->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("WW")) + 8);
        StaticSPIMan[size_t(k)] = answer;
        grid->addWidget(answer, 1, k);
    }
    auto* send = NamedButton(QStringLiteral("BtnSendSPIMan"), QStringLiteral("Sen&d"),
                             QStringLiteral("Send the SPI telegram to the VRX630."), group);
    connect(send, &QPushButton::clicked, this, &RamPage::BtnSendSPIManClick);
    grid->addWidget(send, 0, 4);
    return group;
}

QGroupBox* RamPage::CreateShapeGroup() {
    auto* group = new QGroupBox(QStringLiteral(" Microstep Shape "), this);
    group->setObjectName(QStringLiteral("GrpShape"));
    group->setToolTip(QStringLiteral("Calculate a new mircrostepping table here."));
    auto* label = new QLabel(QStringLiteral("Sigma:"), group);
    label->setObjectName(QStringLiteral("LblSigma"));
    EditSigma = new TFloatSpinEdit(group);
    EditSigma->setObjectName(QStringLiteral("EditSigma"));
    EditSigma->setToolTip(QStringLiteral("Enter the Sigma value here. Any floating point number "
                                         "between -1.0 and +1.0 can be entered."));
    EditSigma->setRange(-1.0, 1.0);
    EditSigma->setSingleStep(0.1);
    EditSigma->setValue(-1.0);
    label->setBuddy(EditSigma);
    auto* calc =
        NamedButton(QStringLiteral("BtnShapeCalc"), QStringLiteral("&Calculate"),
                    QStringLiteral("Click here to calculate the new microstepping table."), group);
    auto* write =
        NamedButton(QStringLiteral("BtnShapeCW"), QStringLiteral("C&alulate && Write to RAM"),
                    QStringLiteral("Click here to calculate the new mircrostepping table "
                                   "and write it to the VRX630 RAM immediately."),
                    group);
    connect(calc, &QPushButton::clicked, this, &RamPage::BtnShapeCalcClick);
    connect(write, &QPushButton::clicked, this, &RamPage::BtnShapeCWClick);
    auto* grid = new QGridLayout(group);
    grid->addWidget(label, 0, 0);
    grid->addWidget(EditSigma, 0, 1);
    grid->addWidget(calc, 1, 0);
    grid->addWidget(write, 1, 1);
    return group;
}

RamTable RamPage::Table() const {
    RamTable table;
    for (int n = 0; n < kRamBytes; ++n) {
        table.SetCell(n, StringGridHex->item(n / RamTable::kColumns, n % RamTable::kColumns)
                             ->text()
                             .toStdString());
    }
    return table;
}

void RamPage::ShowTable(const RamTable& table) {
    ShowWords(table, 0, kRamWords);
}

void RamPage::ShowWords(const RamTable& table, int firstWord, int count) {
    for (int n = 2 * firstWord; n < 2 * (firstWord + count); ++n) {
        StringGridHex->item(n / RamTable::kColumns, n % RamTable::kColumns)
            ->setText(QString::fromStdString(table.Cell(n)));
    }
}

bool RamPage::TableCompleteOrSay() {
    if (RamTableComplete(Table())) {
        return true;
    }
    ShowMessage(this,
                QStringLiteral("All values in the RAM table must be set\nto two digit "
                               "hexadecimal values first!"),
                QMessageBox::Critical);
    return false;
}

void RamPage::BtnReadRAMClick() {
    RamTable table = Table();
    int read = 0;
    {
        const auto suspension = link_.SuspendPolling();
        ProgressRAMTable->setValue(0);
        // Shown while the next word is on the line, so that no repaint holds a word up.
        ProgressPacer pacer([this, &table](int from, int to) {
            RamTable words;
            for (int n = 2 * from; n < 2 * to; ++n) {
                words.SetCell(n, table.Cell(n));
            }
            QMetaObject::invokeMethod(
                this,
                [this, words, from, to] {
                    ShowWords(words, from, to - from);
                    ProgressRAMTable->setValue(std::min(2 * to + 1, kRamBytes - 1));
                },
                Qt::QueuedConnection);
        });
        read = ReadRamWords(
            table, [this](const Telegram& t) { return link_.Transfer(t); }, 0, kRamWords - 1,
            [&pacer](int done) { pacer.WordDone(done); });
        pacer.Finish(read);
        ShowTable(table);
    }
    // A port that went away has been reported already.
    if (read < kRamWords && link_.Port().IsOpen()) {
        ShowMessage(this,
                    QStringLiteral("The board does not respond. The RAM table was not read "
                                   "completely."),
                    QMessageBox::Warning);
    }
}

void RamPage::BtnWriteRAMClick() {
    if (TableCompleteOrSay()) {
        WriteWords(0, kRamWords - 1, 2);
    }
}

void RamPage::WriteWords(int first, int last, int step) {
    const RamTable table = Table();
    int written = 0;
    {
        const auto suspension = link_.SuspendPolling();
        ProgressRAMTable->setValue(0);
        // Shown while the next word is on the line, as a read does.
        ProgressPacer pacer([this, step](int, int to) {
            QMetaObject::invokeMethod(
                this,
                [this, value = std::min(step * to + 1, kRamBytes - 1)] {
                    ProgressRAMTable->setValue(value);
                },
                Qt::QueuedConnection);
        });
        written = WriteRamWords(
            table, [this](const Telegram& t) { return link_.Transfer(t); }, first, last,
            [&pacer](int done) { pacer.WordDone(done); });
        pacer.Finish(written);
    }
    if (written < last - first + 1 && link_.Port().IsOpen()) {
        ShowMessage(this,
                    QStringLiteral("The board does not respond. The RAM table was not written "
                                   "completely."),
                    QMessageBox::Warning);
    }
}

void RamPage::BtnLoadRAMClick() {
    // Read whole (bounded as the reader is): loaded leniently, and checked against the saved
    // form, so a damaged file loads as far as it can be read and says so.
    const auto file = OpenChosenFile(this, kRamFiles, kFileFilters, qint64(kMaxRamFileBytes));
    if (!file) {
        return;
    }
    const std::string_view text(file->bytes.constData(), size_t(file->bytes.size()));
    RamTable table = Table();
    LoadRamFile(text, table);
    ShowTable(table);
    RamTable checked;
    if (file->readError) {
        ShowMessage(this, QStringLiteral("File load error!"), QMessageBox::Critical);
    } else if (const auto fault = ReadRamFileStrictly(text, checked)) {
        ShowMessage(this,
                    QStringLiteral("The file is not a well-formed RAM table (line %1, field %2). "
                                   "Cells that could not be read keep their old values.")
                        .arg(fault->line)
                        .arg(std::max(fault->field, 1)),
                    QMessageBox::Warning);
    }
}

void RamPage::BtnSaveRAMClick() {
    if (!TableCompleteOrSay()) {
        return;
    }
    const QString path =
        AskForFile(this, {.save = true, .filters = kFileFilters, .kind = kRamFiles});
    if (path.isEmpty()) {
        return;
    }
    const std::string text = RamFileText(Table());
    if (!WriteFileAtomically(path, QByteArray::fromStdString(text)).isEmpty()) {
        ShowMessage(this, QStringLiteral("File save error!"), QMessageBox::Critical);
    }
}

void RamPage::BtnSendSPIManClick() {
    // The bytes in the order b2, b3, b1, b0: the first that is no number is reported.
    Telegram t;
    uint8_t* bytes[4] = {&t.b0, &t.b1, &t.b2, &t.b3};
    for (int k : {2, 3, 1, 0}) {
        bool ok = false;
        const uint value = EditSPIMan[size_t(k)]->text().toUInt(&ok, 16);
        if (!ok || value > 0xFF) {
            ShowMessage(this,
                        QStringLiteral("Byte %1 of the SPI telegram is not a hexadecimal number.")
                            .arg(k + 1),
                        QMessageBox::Critical);
            return;
        }
        *bytes[k] = static_cast<uint8_t>(value);
    }
    std::optional<Answer> answer;
    {
        const auto suspension = link_.SuspendPolling();
        answer = link_.Transfer(t);
    }
    // Without an answer the boxes say so instead of showing an earlier one.
    const Answer a = answer.value_or(Answer{});
    const uint8_t shown[4] = {a.a0, a.a1, a.a2, a.a3};
    for (size_t k = 0; k < StaticSPIMan.size(); ++k) {
        StaticSPIMan[k]->setText(answer ? HexByte(shown[k]) : QStringLiteral("--"));
    }
}

void RamPage::BtnShapeCalcClick() {
    const auto shape = CalcShapeTable(EditSigma->value());
    for (int i = 0; i < kShapeEntries; ++i) {
        const int n = kShapeFirstByte + i;
        StringGridHex->item(n / RamTable::kColumns, n % RamTable::kColumns)
            ->setText(HexByte(shape[size_t(i)]));
    }
}

void RamPage::BtnShapeCWClick() {
    BtnShapeCalcClick();
    WriteWords(kShapeFirstByte / 2, kRamWords - 1, 4);
}

} // namespace vrx
