// The RAM page's files and checks without a board: load and save through the file dialog
// function, the refusal of an incomplete table, the atomic save, the manual telegram's fields.
#include "register_window_fixture.h"

#include "controls/file_dialog.h"
#include "registers/ram_page.h"
#include "support/message_catcher.h"
#include "support/wait_for.h"

#include <QFile>
#include <QTemporaryDir>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace vrx::test {
namespace {

const QString kIncomplete =
    "All values in the RAM table must be set\nto two digit hexadecimal values first!";

class RamFilesTest : public RegisterWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            requests.push_back(request);
            return chosen;
        };
        window.show();
        ShowPage(TFormAdvanced::kRamPage);
        page = Find<RamPage>("TabRAM");
    }
    void TearDown() override { ChooseFile = saved_; }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void Fill(const char* cell) {
        RamTable table;
        for (int n = 0; n < kRamBytes; ++n) {
            table.SetCell(n, cell);
        }
        page->ShowTable(table);
    }

    QTemporaryDir dir;
    MessageCatcher messages;
    RamPage* page = nullptr;
    QString chosen;
    std::vector<FileDialogRequest> requests;

private:
    FileDialogFunction saved_;
};

TEST_F(RamFilesTest, AnIncompleteTableIsNeitherSavedNorWritten) {
    Press("BtnSaveRAM");
    Press("BtnWriteRAM");
    Fill("00");
    page->ShowTable([&] {
        RamTable table = page->Table();
        table.SetCell(77, "7");
        return table;
    }());
    Press("BtnSaveRAM");
    EXPECT_EQ(messages.texts, QStringList({kIncomplete, kIncomplete, kIncomplete}));
    EXPECT_TRUE(requests.empty()); // refused before any dialog
}

TEST_F(RamFilesTest, LoadFollowsTheReaderAndSaveWritesTheFileFormat) {
    Fill("EE");
    Write("in.630", "5,1ff,,x\r\n\r\n");
    chosen = dir.filePath("in.630");
    Press("BtnLoadRAM");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(requests[0].filters,
              QStringList({"VRX630 Configuration files (*.630)", "All files (*)"}));
    const RamTable loaded = page->Table();
    EXPECT_EQ(loaded.Cell(0), "05");
    EXPECT_EQ(loaded.Cell(1), "1FF");
    EXPECT_EQ(loaded.Cell(3), "00");
    EXPECT_EQ(loaded.Cell(4), "EE");
    EXPECT_EQ(loaded.Cell(16), "00");
    EXPECT_EQ(loaded.Cell(32), "00"); // a missing line
    EXPECT_EQ(messages.texts,
              QStringList("The file is not a well-formed RAM table (line 1, field 1). Cells that "
                          "could not be read keep their old values."));
    messages.texts.clear();

    Fill("a5");
    chosen = dir.filePath("out"); // the dialog adds the extension, not the page
    Press("BtnSaveRAM");
    EXPECT_TRUE(requests.back().save);
    const QByteArray saved = Read("out");
    EXPECT_EQ(saved.size(), 392);
    EXPECT_TRUE(saved.startsWith("a5,a5,"));
    EXPECT_TRUE(saved.endsWith(",a5\r\n"));
    EXPECT_TRUE(messages.texts.isEmpty());
}

#ifndef _WIN32 // a file size limit is a POSIX facility
TEST_F(RamFilesTest, AFailedSaveKeepsTheOldFile) {
    Write("keep.630", "old content");
    Fill("00");
    chosen = dir.filePath("keep.630");
    // Files may grow to 100 bytes only, so the write of 392 fails half-way, also for root.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    Press("BtnSaveRAM");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Read("keep.630"), "old content");
    EXPECT_EQ(messages.texts, QStringList({"File save error!"}));
}
#endif

TEST_F(RamFilesTest, AManualByteThatIsNoNumberSendsNothingAndSaysWhich) {
    Find<QLineEdit>("EditSPIMan2")->clear();
    Press("BtnSendSPIMan");
    EXPECT_EQ(messages.texts,
              QStringList({"Byte 2 of the SPI telegram is not a hexadecimal number."}));
    EXPECT_TRUE(link.PollingEnabled);
    EXPECT_EQ(Text("StaticSPIMan1"), "FF");
}

} // namespace
} // namespace vrx::test
