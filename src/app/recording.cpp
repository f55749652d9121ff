// The main window's recorder: every polling pass into a CSV file for as long as it runs.
#include "app/form_main.h"

#include "controls/file_dialog.h"
#include "controls/message_box.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace vrx {

void TFormMain::BtnRecordClick() {
    if (recorder_) {
        StopRecording();
        return;
    }
    FileDialogRequest request{
        .save = true,
        .caption = QStringLiteral("Record"),
        .filters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")},
        .optionText = QStringLiteral("Add steps/s columns"),
        .optionName = QStringLiteral("CheckRecordUnits"),
        .option = &recordUnits_,
        .kind = kRecordings};
    const QString path = AskForFile(this, request);
    if (path.isEmpty()) {
        return;
    }
    auto sink = std::make_unique<FileRowSink>();
    if (!sink->Open(QFile::encodeName(path).toStdString())) {
        ShowMessage(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(path, QString::fromLocal8Bit(sink->Error().c_str())));
        return;
    }
    // With units, each row is converted by the dividers and clock of its moment.
    recorder_ = std::make_unique<PassRecorder>(
        std::move(sink), [this] { return link_.Now(); }, recordUnits_ ? &units_.Units() : nullptr);
    recordPath_ = path;
    BtnRecord->setText(QStringLiteral("Stop &Recording"));
    TimerRecord.start();
    ShowRecording();
}

void TFormMain::RecordPass(const PassRow& row) {
    if (!recorder_) {
        return;
    }
    recorder_->Record(row);
    if (recorder_->Failed()) {
        // Told outside the polling tick, so polling goes on while the message is up.
        QMetaObject::invokeMethod(this, &TFormMain::StopRecording, Qt::QueuedConnection);
    }
}

void TFormMain::ShowRecording() {
    if (!recorder_) {
        return;
    }
    recorder_->Tick();
    if (recorder_->Failed()) {
        StopRecording();
        return;
    }
    LblRecord->setText(QStringLiteral("Recording: %1 s, %2 passes")
                           .arg(recorder_->ElapsedMs() / 1000)
                           .arg(recorder_->Rows()));
}

void TFormMain::StopRecording() {
    if (!recorder_) {
        return;
    }
    TimerRecord.stop();
    recorder_->Finish();
    const std::unique_ptr<PassRecorder> ended = std::move(recorder_);
    BtnRecord->setText(QStringLiteral("&Record..."));
    if (ended->FileRemoved()) {
        LblRecord->clear(); // the name would stand for a file that is gone
        ShowMessage(QStringLiteral("Recording stopped: the file \"%1\" was removed.")
                        .arg(QDir::toNativeSeparators(recordPath_)));
        return;
    }
    LblRecord->setText(QFileInfo(recordPath_).fileName());
    if (ended->Failed()) {
        ShowMessage(QStringLiteral("Recording stopped: %1. The rows written so far are kept.")
                        .arg(QString::fromLocal8Bit(ended->Error().c_str())));
    }
}

} // namespace vrx
