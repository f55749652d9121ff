#include "plots/form_graphics.h"

namespace vrx {

TFormGraphics::TFormGraphics(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormGraphics"));
    setWindowTitle(QStringLiteral("Graphic Display"));
    resize(640, 480);
}

} // namespace vrx
