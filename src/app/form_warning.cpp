#include "app/form_warning.h"
#include "controls/named.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace vrx {

std::function<void()> TFormWarning::ExclamationBeep = [] { QApplication::beep(); };

namespace {} // namespace

TFormWarning::TFormWarning(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormWarning"));
    setWindowTitle(QStringLiteral("Warning"));

    // Created in tab order: the dialog opens with the focus on BtnCont.
    BtnCont = Named(new QPushButton(QStringLiteral("&Continue"), this), "BtnCont");
    BtnAbort = Named(new QPushButton(QStringLiteral("&Abort"), this), "BtnAbort");
    CheckNotify =
        Named(new QCheckBox(QStringLiteral("Do not notify me again during this session."), this),
              "CheckNotify");
    PnlText = Named(new QFrame(this), "PnlText");
    PnlText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LblText1 =
        Named(new QLabel(QStringLiteral("The \"Max. Accel.\" Parameter should not be less than "),
                         PnlText),
              "LblText1");
    LblNumber = Named(new QLabel(QStringLiteral("LblNumber"), PnlText), "LblNumber");
    LblText2 = Named(
        new QLabel(QStringLiteral("as else undesired oscillating effects can be caused."), PnlText),
        "LblText2");
    LblText3 =
        Named(new QLabel(QStringLiteral("Do you wish to continue anyway?"), PnlText), "LblText3");

    BtnCont->setIcon(style()->standardIcon(QStyle::SP_DialogYesButton));
    BtnAbort->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    // Neither button answers Enter or Escape on the dialog's behalf.
    for (QPushButton* button : {BtnCont, BtnAbort}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(BtnCont, BtnAbort);
    setTabOrder(BtnAbort, CheckNotify);
    connect(BtnCont, &QPushButton::clicked, this, &TFormWarning::BtnContClick);
    connect(BtnAbort, &QPushButton::clicked, this, &TFormWarning::BtnAbortClick);

    auto* firstLine = new QHBoxLayout();
    firstLine->setSpacing(0);
    firstLine->addWidget(LblText1);
    firstLine->addWidget(LblNumber);
    firstLine->addStretch();
    auto* text = new QVBoxLayout(PnlText);
    text->addLayout(firstLine);
    text->addWidget(LblText2);
    text->addWidget(LblText3);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(BtnCont);
    buttons->addStretch();
    buttons->addWidget(BtnAbort);

    auto* form = new QVBoxLayout(this);
    form->addWidget(PnlText);
    form->addWidget(CheckNotify);
    form->addLayout(buttons);
    form->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFormWarning::ConfirmMinimum(int minAMax) {
    LblNumber->setText(QString::number(minAMax) + u',');
    if (CheckNotify->isChecked()) {
        return true;
    }
    return exec() == kResultContinue;
}

void TFormWarning::BtnContClick() {
    done(kResultContinue);
}

void TFormWarning::BtnAbortClick() {
    done(kResultAbort);
}

void TFormWarning::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFormWarning::FormShow() {
    BtnCont->setFocus(Qt::OtherFocusReason);
    if (ExclamationBeep) {
        ExclamationBeep();
    }
}

void TFormWarning::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept(); // no cancel button: Escape does not answer the dialog
        return;
    }
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (!plain) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The focused button answers Enter, as it answers Space.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button == BtnCont || button == BtnAbort) {
            button->click();
        }
        event->accept();
        return;
    case Qt::Key_C:
    case Qt::Key_A:
        // Accelerator letters work without Alt too, since no control here takes text input.
        (event->key() == Qt::Key_C ? BtnCont : BtnAbort)->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vrx
