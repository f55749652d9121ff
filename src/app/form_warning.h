#pragma once
// TFormWarning: the modal dialog that warns before a motor starts with a maximum acceleration
// below the smallest advisable value, and asks whether to go on. It only shows the text, beeps
// and returns the user's choice; the caller decides what the answer guards.

#include <QDialog>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace vrx {

class TFormWarning : public QDialog {
    Q_OBJECT

public:
    // Modal results of the two buttons (the standard yes and no results).
    static constexpr int kResultContinue = 6;
    static constexpr int kResultAbort = 7;

    explicit TFormWarning(QWidget* parent = nullptr);

    // The caller's side of the warning: shows minAMax followed by "," as the advisable minimum;
    // true at once if the user asked not to be notified again, else asks modally and returns
    // true only for Continue.
    bool ConfirmMinimum(int minAMax);

    // Plays the exclamation sound at each showing; tests replace it.
    static std::function<void()> ExclamationBeep;

public slots:
    void BtnContClick();
    void BtnAbortClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();

    QFrame* PnlText;
    QLabel* LblText1;
    QLabel* LblNumber;
    QLabel* LblText2;
    QLabel* LblText3;
    QCheckBox* CheckNotify;
    QPushButton* BtnCont;
    QPushButton* BtnAbort;
};

} // namespace vrx
