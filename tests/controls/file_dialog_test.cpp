// The save dialog gives a name typed without an extension the chosen filter's.
#include "controls/file_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
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
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
    timer.start(10);
    const QString path = ChooseFile(nullptr, {true, QString(), filters});
    EXPECT_TRUE(answered);
    EXPECT_EQ(path, dir.filePath(GetParam().saved));
}

INSTANTIATE_TEST_SUITE_P(Names, SaveDialog,
                         testing::Values(TypedName{0, "plot", "plot.png"},
                                         TypedName{1, "run", "run.csv"},
                                         TypedName{1, "run.txt", "run.txt"},
                                         TypedName{2, "any", "any"}));

} // namespace
} // namespace vrx::test
