#pragma once
// TFormAbout: what the program is, its version, its licence (MIT) and the notices of every
// library linked into it or into its companion programs, from the program's resources. Opened
// with F1 from the main window, and on Windows from the window's system menu too, so the main
// window's fixed layout stays as it is.

#include <QDialog>

namespace vrx {

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(const QString& version, QWidget* parent = nullptr);

    // The licence and every notice, in the order shown.
    static QString NoticesText();
};

} // namespace vrx
