#include "drivers/form_vrx880.h"

namespace vrx {

TFormVRX880::TFormVRX880(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormVRX880"));
    setWindowTitle(QStringLiteral("VRX880 Registers"));
    resize(420, 320);
}

} // namespace vrx
