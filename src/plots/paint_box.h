#pragma once
// TPaintBox: a surface that leaves its painting, and what the pointer does over it, to its
// owner. The owner's operations get the box itself, so one operation serves the boxes of all
// motors by their Tag.

#include <QWidget>

#include <functional>

namespace vrx {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(TPaintBox& sender, QPainter& canvas)>;
    using PointerHandler = std::function<void(TPaintBox& sender, const QPoint* position)>;

    TPaintBox(int tag, QWidget* parent);

    const int Tag;
    PaintHandler OnPaint;
    // Where the pointer moved to over the box; nullptr when it left. Set, it tracks the pointer
    // without a button held.
    void SetOnPointer(PointerHandler handler);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    PointerHandler onPointer_;
};

} // namespace vrx
