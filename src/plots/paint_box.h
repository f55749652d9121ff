#pragma once
// TPaintBox: a surface that leaves its painting to its owner. The owner's paint operation gets
// the box itself, so one operation serves the boxes of all motors by their Tag.

#include <QWidget>

#include <functional>

namespace vrx {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(TPaintBox& sender, QPainter& canvas)>;

    TPaintBox(int tag, QWidget* parent);

    const int Tag;
    PaintHandler OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vrx
