#pragma once
// TFormVRX880: the register window of the VRX880 kit. Its controls arrive with the VRX880 support;
// until then it is an empty window with its caption.

#include <QWidget>

namespace vrx {

class TFormVRX880 : public QWidget {
    Q_OBJECT
public:
    explicit TFormVRX880(QWidget* parent = nullptr);
};

} // namespace vrx
