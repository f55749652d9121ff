#pragma once
// TFormVRX52x: the load and error-flag window of the VRX52x kit. Its controls arrive with the
// VRX52x support; until then it is an empty window with its caption.

#include <QWidget>

namespace vrx {

class TFormVRX52x : public QWidget {
    Q_OBJECT
public:
    explicit TFormVRX52x(QWidget* parent = nullptr);
};

} // namespace vrx
