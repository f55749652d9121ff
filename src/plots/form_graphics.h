#pragma once
// TFormGraphics: the plot window. Its plots arrive with the plot support; until then it is an empty
// window with its caption.

#include <QWidget>

namespace vrx {

class TFormGraphics : public QWidget {
    Q_OBJECT
public:
    explicit TFormGraphics(QWidget* parent = nullptr);
};

} // namespace vrx
