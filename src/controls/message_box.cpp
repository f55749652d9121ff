#include "controls/message_box.h"

namespace vrx {

void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, kProgramTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

} // namespace vrx
