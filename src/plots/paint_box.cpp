#include "plots/paint_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

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

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnPress) {
        OnPress(*this, *event);
    }
    QWidget::mousePressEvent(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton && OnDrag) {
        OnDrag(*this, *event);
    }
    if (onPointer_) {
        const QPoint position = event->position().toPoint();
        onPointer_(*this, &position);
    }
    QWidget::mouseMoveEvent(event);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnRelease) {
        OnRelease(*this, *event);
    }
    QWidget::mouseReleaseEvent(event);
}

void TPaintBox::wheelEvent(QWheelEvent* event) {
    if (OnWheel) {
        OnWheel(*this, *event);
        event->accept();
        return;
    }
    QWidget::wheelEvent(event);
}

void TPaintBox::keyPressEvent(QKeyEvent* event) {
    if (OnKey && OnKey(*this, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TPaintBox::leaveEvent(QEvent* event) {
    if (onPointer_) {
        onPointer_(*this, nullptr);
    }
    QWidget::leaveEvent(event);
}

} // namespace vrx
