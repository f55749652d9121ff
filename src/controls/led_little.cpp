#include "controls/led_little.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <utility>

// The bitmaps are compiled into this static library; registering them by hand keeps the linker
// from dropping them from programs that use the control.
static void RegisterLedBitmaps() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(leds);
        return true;
    }();
    (void)registered;
}

namespace vrx {

namespace {

constexpr std::array<const char*, kLedColorCount> kResourceNames = {
    "BLACKLED",     "DARKGRAYLED",   "REDLED",        "DARKREDLED", "GREENLED",
    "DARKGREENLED", "YELLOWLED",     "DARKYELLOWLED", "BLUELED",    "DARKBLUELED",
    "PURPLELED",    "DARKPURPLELED", "CYANLED",       "DARKCYANLED"};

} // namespace

QString LedResourceName(TLedLittleColor color) {
    const auto index = static_cast<size_t>(color);
    return index < kResourceNames.size() ? QString::fromLatin1(kResourceNames[index]) : QString();
}

QString LedResourcePath(TLedLittleColor color) {
    return QStringLiteral(":/leds/") + LedResourceName(color);
}

TLedLittle::TLedLittle(QWidget* owner) : QLabel(owner) {
    RegisterLedBitmaps();
    setFixedSize(16, 16);
    Redraw();
}

TLedLittle::~TLedLittle() = default;

void TLedLittle::SetLedColor(TLedLittleColor color) {
    if (color == ledColor_) {
        return;
    }
    ledColor_ = color;
    Redraw();
}

void TLedLittle::SetInterval(int ms) {
    if (ms == interval_) {
        return;
    }
    StopBlinkTimer();
    interval_ = ms;
    if (blink_) {
        StartBlinkTimer();
    }
}

void TLedLittle::SetBlink(bool on) {
    if (on == blink_) {
        return;
    }
    blink_ = on;
    if (on) {
        StartBlinkTimer();
    } else {
        StopBlinkTimer();
    }
}

void TLedLittle::Redraw() {
    setPixmap(QPixmap(LedResourcePath(ledColor_), "XPM"));
    ++bitmapLoads_;
}

void TLedLittle::BlinkStep() {
    if (blinkPhase_ == 1) {
        blinkPhase_ = 0;
        blinkSavedColor_ = ledColor_;
        ledColor_ = clicLedColor_;
    } else {
        blinkPhase_ = 1;
        ledColor_ = blinkSavedColor_;
    }
    Redraw();
    emit blinked();
}

void TLedLittle::StartBlinkTimer() {
    if (interval_ <= 0) {
        return;
    }
    blinkTimer_ = new QTimer(this);
    blinkTimer_->setInterval(interval_);
    connect(blinkTimer_, &QTimer::timeout, this, &TLedLittle::BlinkStep);
    blinkTimer_->start();
}

void TLedLittle::StopBlinkTimer() {
    if (blinkTimer_ != nullptr) {
        blinkTimer_->stop();
        // The timer may be stopped from a handler of its own tick (through blinked()).
        blinkTimer_->deleteLater();
        blinkTimer_ = nullptr;
    }
    if (blinkPhase_ == 0) {
        blinkPhase_ = 1;
        ledColor_ = blinkSavedColor_;
        Redraw();
    }
}

void TLedLittle::mousePressEvent(QMouseEvent* event) {
    if (!blink_ && !pressSavedColor_) {
        pressSavedColor_ = ledColor_;
        SetLedColor(clicLedColor_);
    }
    QLabel::mousePressEvent(event);
    event->accept(); // the click belongs to the LED, not to the group around it
}

void TLedLittle::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->buttons() != Qt::NoButton) {
        return; // another button is still held down
    }
    const auto saved = std::exchange(pressSavedColor_, std::nullopt);
    if (!blink_ && saved) {
        SetLedColor(*saved);
    }
}

} // namespace vrx
