#pragma once
// TPaintBox: a surface that leaves its painting, and what the pointer, the wheel and the keys do
// over it, to its owner. The owner's operations get the box itself, so one operation serves the
// boxes of all motors by their Tag.

#include <QWidget>

#include <functional>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace vrx {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(TPaintBox& sender, QPainter& canvas)>;
    using PointerHandler = std::function<void(TPaintBox& sender, const QPoint* position)>;
    using MouseHandler = std::function<void(TPaintBox& sender, QMouseEvent& event)>;
    using WheelHandler = std::function<void(TPaintBox& sender, QWheelEvent& event)>;
    // True when the key was taken.
    using KeyHandler = std::function<bool(TPaintBox& sender, QKeyEvent& event)>;

    TPaintBox(int tag, QWidget* parent);

    const int Tag;
    PaintHandler OnPaint;
    // A button pressed, the pointer moved with a button held, a button released.
    MouseHandler OnPress;
    MouseHandler OnDrag;
    MouseHandler OnRelease;
    WheelHandler OnWheel;
    KeyHandler OnKey;
    // Where the pointer moved to over the box; nullptr when it left. Set, it tracks the pointer
    // without a button held.
    void SetOnPointer(PointerHandler handler);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    PointerHandler onPointer_;
};

} // namespace vrx
