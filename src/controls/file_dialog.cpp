#include "controls/file_dialog.h"

#include "controls/file_folders.h"
#include "controls/name_only_icon_provider.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QRegularExpression>

namespace vrx {

QString FilterSuffix(const QString& filter) {
    // The first pattern of the form "*.ext" in the parentheses; "*" alone has no extension.
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([^ *?)]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

FileDialogFunction ChooseFile = [](QWidget* parent, const FileDialogRequest& request) {
    // An empty folder would be the working folder: for an installed program, its own.
    QFileDialog dialog(parent, request.caption, request.directory);
    // The program's own dialog, so that it guesses file types from names only and never opens
    // a file it lists.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    NameOnlyIconProvider icons;
    dialog.setIconProvider(&icons);
    dialog.setNameFilters(request.filters);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    // A name typed without an extension gets the chosen filter's, before the dialog asks about
    // replacing, so the file shows in the next dialog of the same kind.
    dialog.setDefaultSuffix(FilterSuffix(request.filters.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterSuffix(filter)); });
    QCheckBox* option = nullptr;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()); grid && request.option) {
        option = new QCheckBox(request.optionText, &dialog);
        option->setObjectName(request.optionName);
        option->setChecked(*request.option);
        grid->addWidget(option, grid->rowCount(), 0, 1, -1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    if (option != nullptr) {
        *request.option = option->isChecked();
    }
    return dialog.selectedFiles().constFirst();
};

QString AskForFile(QWidget* parent, FileDialogRequest request) {
    request.directory = StartFolder(request.kind);
    const QString path = ChooseFile ? ChooseFile(parent, request) : QString();
    if (!path.isEmpty()) {
        RememberFolder(request.kind, path);
    }
    return path;
}

} // namespace vrx
