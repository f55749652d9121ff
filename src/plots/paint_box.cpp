#include "plots/paint_box.h"

#include <QPainter>

namespace vrx {

TPaintBox::TPaintBox(int tag, QWidget* parent) : QWidget(parent), Tag(tag) {}

void TPaintBox::paintEvent(QPaintEvent* /*event*/) {
    if (OnPaint) {
        QPainter canvas(this);
        OnPaint(*this, canvas);
    }
}

} // namespace vrx
