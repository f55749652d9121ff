// The program's file dialogs open where a file of the same kind was last chosen, over a restart;
// each kind has its own folder, a fresh start offers the documents folder.
#include "program_fixture.h"

#include "controls/file_dialog.h"
#include "registers/form_advanced.h"

#include <QStandardPaths>
#include <QTabWidget>

namespace vrx::test {
namespace {

class FileFoldersE2E : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            offered = request.directory;
            return std::exchange(chosen, QString());
        };
    }
    void TearDown() override {
        ChooseFile = saved_;
        ProgramTest::TearDown();
    }
    // Presses a button of a register page and returns the folder its dialog offered.
    QString Offered(int page, const char* button, const QString& pick = QString()) {
        chosen = pick;
        offered.clear();
        program->registers.findChild<QTabWidget*>("PageControl")->setCurrentIndex(page);
        program->registers.show(); // as its button does once a board is open
        QTest::mouseClick(program->registers.findChild<QPushButton*>(button), Qt::LeftButton);
        return offered;
    }

    QString chosen;
    QString offered;

private:
    FileDialogFunction saved_;
};

TEST_F(FileFoldersE2E, ADialogOpensWhereItsKindWasLastChosenAfterARestart) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString tables = dir.filePath("tables");
    ASSERT_TRUE(QDir(dir.path()).mkpath("tables"));
    QFile table(tables + "/wave.630");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    for (int row = 0; row < 8; ++row) {
        table.write(QByteArray("00,").repeated(15) + "00\r\n");
    }
    table.close();

    const QString fresh = Offered(TFormAdvanced::kRamPage, "BtnLoadRAM", tables + "/wave.630");
    if (QFileInfo(documents).isDir()) {
        EXPECT_EQ(fresh, documents);
    }
    EXPECT_NE(QDir(fresh), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(Offered(TFormAdvanced::kConfigPage, "BtnConfigLoad"), fresh) << "a kind of its own";
    program->main.close();
    program.reset();
    StartProgram();
    EXPECT_EQ(Offered(TFormAdvanced::kRamPage, "BtnLoadRAM"), tables);
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
}

} // namespace
} // namespace vrx::test
