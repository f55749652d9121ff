#include "drivers/fixed_window.h"

#include <QLayout>
#include <QWidget>

namespace vrx::drivers {

void MakeFixedSizeWindow(QWidget& window) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    if (QLayout* layout = window.layout()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

void CentreOverOwner(QWidget& window) {
    const QWidget* owner = window.parentWidget();
    if (owner == nullptr) {
        return;
    }
    window.adjustSize();
    QRect frame = window.frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    window.move(frame.topLeft());
}

} // namespace vrx::drivers
