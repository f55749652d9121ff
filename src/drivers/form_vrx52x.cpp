#include "drivers/form_vrx52x.h"

namespace vrx {

TFormVRX52x::TFormVRX52x(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormVRX52x"));
    setWindowTitle(QStringLiteral("VRX526 / VRX529 LoadMeter & Error Flags"));
    resize(420, 260);
}

} // namespace vrx
