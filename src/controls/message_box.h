#pragma once
// The program's message boxes: fixed English texts with an OK button, titled with the program's
// name.

#include <QMessageBox>
#include <QString>

namespace vrx {

inline const QString kProgramTitle = QStringLiteral("VRX630 Evaluation Kit");

void ShowMessage(QWidget* parent, const QString& text,
                 QMessageBox::Icon icon = QMessageBox::NoIcon);

} // namespace vrx
