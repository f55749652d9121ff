#pragma once
// TFormVRX516: the driver current window of the VRX516 kit. Its controls arrive with the VRX516
// support; until then it is an empty window with its caption.

#include <QWidget>

namespace vrx {

class TFormVRX516 : public QWidget {
    Q_OBJECT
public:
    explicit TFormVRX516(QWidget* parent = nullptr);
};

} // namespace vrx
