#pragma once
// TFormAdvanced: the register window. Its pages arrive with the register support; until then it is
// an empty window with its caption.

#include <QWidget>

namespace vrx {

class TFormAdvanced : public QWidget {
    Q_OBJECT
public:
    explicit TFormAdvanced(QWidget* parent = nullptr);
};

} // namespace vrx
