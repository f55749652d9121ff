// The file dialogs open where a file of the same kind was last chosen, else in the documents
// folder; each kind keeps its own folder in the settings file.
#include "controls/file_dialog.h"
#include "controls/file_folders.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vrx::test {
namespace {

class FileFolders : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            offered = request.directory;
            return chosen;
        };
        KeepFileFoldersIn(dir.filePath("Eval630.ini"));
    }
    void TearDown() override {
        KeepFileFoldersIn(QString());
        ChooseFile = saved_;
    }
    // The folder the dialog of a kind offers; `pick` is the file the user then chooses.
    QString Offered(const QString& kind, const QString& pick = QString()) {
        chosen = pick;
        AskForFile(nullptr, {.filters = {"All files (*)"}, .kind = kind});
        return offered;
    }
    QString Folder(const char* name) {
        QDir(dir.path()).mkpath(name);
        return dir.filePath(name);
    }

    QTemporaryDir dir;
    QString chosen;
    QString offered;

private:
    FileDialogFunction saved_;
};

TEST_F(FileFolders, EachKindOpensWhereItsLastFileWasChosen) {
    const QString documents = StartFolder(QString());
    EXPECT_NE(QDir(documents), QDir::current()) << "never the working folder";
    const QString ram = Folder("ram");
    const QString config = Folder("config");
    const QString gone = Folder("gone");
    struct Step {
        QString kind;
        QString pick; // the file chosen in the dialog; empty: cancelled
        QString offered;
    };
    const Step steps[] = {
        {kRamFiles, ram + "/a.630", documents},        // a fresh start
        {kRamFiles, QString(), ram},                   // where the last one was chosen
        {kConfigFiles, config + "/b.toml", documents}, // a kind of its own
        {kRamFiles, QString(), ram},                   // a cancelled dialog changes nothing
        {kConfigFiles, gone + "/c.toml", config},
        {kRecordings, QString(), documents},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(Offered(step.kind, step.pick), step.offered) << step.kind.toStdString();
    }
    ASSERT_TRUE(QDir(gone).removeRecursively());
    EXPECT_EQ(Offered(kConfigFiles), documents) << "a folder that is gone";
    // Kept in the settings file, for the next start.
    const QSettings ini(dir.filePath("Eval630.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Folders/RamFiles").toString(), ram);
}

} // namespace
} // namespace vrx::test
