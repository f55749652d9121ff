#include "plots/paint_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace vrx {

TPaintBox::TPaintBox(int tag, QWidget* parent) : QWidget(parent), Tag(tag) {}

void TPaintBox::paintEvent(QPaintEvent* /*event*/) {
    if (OnPaint) {
        QPainter canvas(this);
        OnPaint(*this, canvas);
    }
}

void TPaintBox::SetOnPointer(PointerHandler handler) {
    onPointer_ = std::move(handler);
    setMouseTracking(static_cast<bool>(onPointer_));
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (onPointer_) {
        const QPoint position = event->position().toPoint();
        onPointer_(*this, &position);
    }
    QWidget::mouseMoveEvent(event);
}

void TPaintBox::leaveEvent(QEvent* event) {
    if (onPointer_) {
        onPointer_(*this, nullptr);
    }
    QWidget::leaveEvent(event);
}

} // namespace vrx
