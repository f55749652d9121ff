#include "controls/file_dialog.h"

#include <QFileDialog>

namespace vrx {

FileDialogFunction ChooseFile = [](QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.caption);
    dialog.setNameFilters(request.filters);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDefaultSuffix(QString());
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
};

} // namespace vrx
