#include "drivers/form_vrx516.h"

namespace vrx {

TFormVRX516::TFormVRX516(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormVRX516"));
    setWindowTitle(QStringLiteral("VRX516 Parameters"));
    resize(320, 200);
}

} // namespace vrx
