#include "registers/form_advanced.h"

#include "controls/units_state.h"
#include "link/board_link.h"
#include "registers/config_page.h"
#include "registers/ram_page.h"
#include "registers/register_page.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vrx {

TFormAdvanced::TFormAdvanced(BoardLink& link, PollCycle& poll, UnitsState& units, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), poll_(poll) {
    setObjectName(QStringLiteral("FormAdvanced"));
    // Fixed size: the title bar offers minimise and close only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("VRX630 Register Set"));

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    for (int motor = 0; motor < kMotorCount; ++motor) {
        pages_[size_t(motor)] = new RegisterPage(
            MotorPageDef(motor), CurrentTelegram, [this] { SendCurrentTelegram(); }, units,
            PageControl);
        pages_[size_t(motor)]->setObjectName(QStringLiteral("TabMotor%1").arg(motor + 1));
    }
    pages_[3] = new RegisterPage(
        GlobalPageDef(), CurrentTelegram, [this] { SendCurrentTelegram(); }, units, PageControl);
    pages_[3]->setObjectName(QStringLiteral("TabGlobal"));
    for (RegisterPage* page : pages_) {
        PageControl->addTab(page, page->Def().tabText);
        page->RegisterIn(poll_);
    }
    poll_.SetRegisterView(this);
    auto* ram = new RamPage(link_, PageControl);
    ram->setObjectName(QStringLiteral("TabRAM"));
    PageControl->addTab(ram, QStringLiteral("RAM Table"));
    config_ = new ConfigPage(link_, PageControl);
    config_->setObjectName(QStringLiteral("TabConfig"));
    PageControl->addTab(config_, QStringLiteral("Configuration"));
    config_->ShowRam = [ram](const RamTable& table) { ram->ShowTable(table); };
    config_->ClockMhz = [&units] { return units.Units().ClockMhz(); };

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    setFixedSize(sizeHint());

    connect(PageControl, &QTabWidget::currentChanged, this, &TFormAdvanced::PageControlChange);
    PageControlChange(PageControl->currentIndex());
}

TFormAdvanced::~TFormAdvanced() {
    for (RegisterPage* page : pages_) {
        page->Unregister(poll_);
    }
    poll_.SetRegisterView(nullptr);
}

int TFormAdvanced::ActivePage() const {
    return PageControl->currentIndex();
}

void TFormAdvanced::PageControlChange(int index) {
    if (index >= 0 && index < int(pages_.size())) {
        setWindowTitle(pages_[size_t(index)]->Def().windowCaption);
        pages_[size_t(index)]->Enter();
    } else if (index == kRamPage) {
        setWindowTitle(QStringLiteral("VRX630 Register Set (Configuration & Microstep RAM)"));
    } else if (index == kConfigPage) {
        setWindowTitle(QStringLiteral("VRX630 Register Set (Configuration Files)"));
    }
}

void TFormAdvanced::SendCurrentTelegram() {
    const auto suspension = link_.SuspendPolling();
    link_.TransferTelegram(CurrentTelegram);
}

void TFormAdvanced::showEvent(QShowEvent* event) {
    shown_ = true;
    QWidget::showEvent(event);
}

void TFormAdvanced::hideEvent(QHideEvent* event) {
    // Minimising keeps the window shown; hiding it from the program does not.
    if (!event->spontaneous()) {
        shown_ = false;
    }
    QWidget::hideEvent(event);
}

void TFormAdvanced::closeEvent(QCloseEvent* event) {
    shown_ = false;
    QWidget::closeEvent(event);
}

} // namespace vrx
