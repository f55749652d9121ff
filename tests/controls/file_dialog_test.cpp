// The save dialog gives a name typed without an extension the chosen filter's; the dialogs
// never read the files they list.
#include "controls/file_dialog.h"
#include "controls/file_folders.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace vrx::test {
namespace {

TEST(FileDialog, TheFilterGivesItsExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"VRX630 Configuration files (*.630)", "630"},
        {"PNG files (*.png)", "png"},
        {"CSV files (*.csv)", "csv"},
        {"Configuration files (*.toml)", "toml"},
        {"All files (*)", ""},
        {"", ""},
    };
    for (const auto& [filter, suffix] : cases) {
        EXPECT_EQ(FilterSuffix(filter), suffix) << filter;
    }
}

struct TypedName {
    int filter;       // chosen in the dialog
    const char* name; // typed
    const char* saved;
};

class SaveDialog : public testing::TestWithParam<TypedName> {};

TEST_P(SaveDialog, ANameWithoutExtensionGetsTheChosenFiltersOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList filters = {"PNG files (*.png)", "CSV files (*.csv)", "All files (*)"};
    bool answered = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || answered) {
            return;
        }
        answered = true;
        dialog->selectNameFilter(filters[GetParam().filter]);
        // As the dialog reports a filter the user picked.
        emit dialog->filterSelected(filters[GetParam().filter]);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(dir.filePath(GetParam().name));
        if (GetParam().filter == 1) { // the option below the list, ticked for the CSV file
            dialog->findChild<QCheckBox*>("CheckColumns")->click();
        }
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
    timer.start(10);
    bool columns = false;
    const QString path =
        ChooseFile(nullptr, {true, QString(), filters, "More columns", "CheckColumns", &columns});
    EXPECT_TRUE(answered);
    EXPECT_EQ(path, dir.filePath(GetParam().saved));
    EXPECT_EQ(columns, GetParam().filter == 1);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveDialog,
                         testing::Values(TypedName{0, "plot", "plot.png"},
                                         TypedName{1, "run", "run.csv"},
                                         TypedName{1, "run.txt", "run.txt"},
                                         TypedName{2, "any", "any"}));

// A fresh start offers the user's documents folder, not the working folder (for an installed
// program its own, under Program Files).
TEST(FileDialog, AFreshStartOffersTheDocumentsFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
#ifndef _WIN32
    // A home of the test's own, with a documents folder; Windows has one in every profile.
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", dir.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    QDir(dir.path()).mkpath("Documents");
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    KeepFileFoldersIn(dir.filePath("Eval630.ini"));
    QString offered;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            offered = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    timer.start(10);
    AskForFile(nullptr, {.filters = {"Configuration files (*.toml)"}, .kind = kConfigFiles});
    KeepFileFoldersIn(QString());
#ifndef _WIN32
    qputenv("HOME", home);
    if (!config.isEmpty()) {
        qputenv("XDG_CONFIG_HOME", config);
    }
#endif
    ASSERT_FALSE(offered.isEmpty());
    EXPECT_EQ(QDir(offered), QDir(documents)) << offered.toStdString();
    EXPECT_TRUE(documents.endsWith("/Documents")) << documents.toStdString();
    EXPECT_NE(QDir(offered), QDir::current());
}

// The dialog guesses types from names: a file's bytes are never read, since a file such as
// /proc/kmsg blocks its reader, and the dialog runs on the window thread.
TEST(FileDialog, ListsFilesWithoutReadingThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile png(dir.filePath("notes")); // a picture by its bytes, nothing by its name
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    png.close();
    const QString sniffed = QMimeDatabase().mimeTypeForName("image/png").comment();
    QString shownType;
    bool procListed = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* model = dialog ? dialog->findChild<QFileSystemModel*>() : nullptr;
        if (model == nullptr) {
            return;
        }
        if (shownType.isEmpty()) {
            dialog->setDirectory(dir.path());
            const QModelIndex notes = model->index(dir.filePath("notes"), 2);
            shownType = notes.isValid() ? model->data(notes).toString() : QString();
#ifdef _WIN32
            procListed = !shownType.isEmpty(); // there is no /proc
            if (procListed) {
                dialog->reject();
            }
#else
            if (!shownType.isEmpty()) {
                dialog->setDirectory(QStringLiteral("/proc"));
            }
#endif
            return;
        }
        const QModelIndex self = model->index(QStringLiteral("/proc/self"));
        procListed = self.isValid() && !model->data(self.siblingAtColumn(2)).toString().isEmpty();
        if (procListed) {
            dialog->reject();
        }
    });
    timer.start(10);
    QTimer::singleShot(20000, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->close(); // not listed in time: fail rather than hang
        }
    });
    ChooseFile(nullptr, {false, QString(), {"All files (*)"}});
    EXPECT_FALSE(shownType.isEmpty());
    EXPECT_NE(shownType, sniffed) << shownType.toStdString();
    EXPECT_TRUE(procListed);
}

} // namespace
} // namespace vrx::test
