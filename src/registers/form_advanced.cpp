#include "registers/form_advanced.h"

namespace vrx {

TFormAdvanced::TFormAdvanced(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormAdvanced"));
    setWindowTitle(QStringLiteral("VRX630 Register Set (Motor 1)"));
    resize(560, 420);
}

} // namespace vrx
