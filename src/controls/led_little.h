#pragma once
// TLedLittle: a 16 x 16 picture of a round panel LED in one of fourteen colours. The windows set
// only its colour; it also offers click feedback and an optional blinking mode.

#include <QLabel>
#include <QMetaType>
#include <QString>

#include <optional>

class QTimer;

namespace vrx {

// Order matters: it is the order of the bitmap resources.
enum TLedLittleColor : int {
    lcBlack,
    lcDarkGray,
    lcRed,
    lcDarkRed,
    lcGreen,
    lcDarkGreen,
    lcYellow,
    lcDarkYellow,
    lcBlue,
    lcDarkBlue,
    lcPurple,
    lcDarkPurple,
    lcCyan,
    lcDarkCyan
};

inline constexpr int kLedColorCount = 14;

// Name of the colour's bitmap in the program's resources, e.g. "CYANLED".
QString LedResourceName(TLedLittleColor color);
// Resource path of that bitmap, e.g. ":/leds/CYANLED".
QString LedResourcePath(TLedLittleColor color);

class TLedLittle : public QLabel {
    Q_OBJECT
    Q_PROPERTY(vrx::TLedLittleColor LedColor READ LedColor WRITE SetLedColor)
    Q_PROPERTY(vrx::TLedLittleColor ClicLedColor READ ClicLedColor WRITE SetClicLedColor)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(bool Blink READ Blink WRITE SetBlink)

public:
    explicit TLedLittle(QWidget* owner = nullptr);
    ~TLedLittle() override;

    TLedLittleColor LedColor() const { return ledColor_; }
    // Redraws only when the colour differs from the current one.
    void SetLedColor(TLedLittleColor color);

    TLedLittleColor ClicLedColor() const { return clicLedColor_; }
    void SetClicLedColor(TLedLittleColor color) { clicLedColor_ = color; }

    int Interval() const { return interval_; }
    void SetInterval(int ms);

    bool Blink() const { return blink_; }
    void SetBlink(bool on);

    // How often a bitmap has been loaded from the resources since creation.
    int bitmapLoads() const { return bitmapLoads_; }
    // The blink timer, or nullptr while there is none.
    const QTimer* blinkTimer() const { return blinkTimer_; }

signals:
    // After each blink step.
    void blinked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Redraw();
    void BlinkStep();
    void StartBlinkTimer();
    // Destroys the timer and brings back the saved colour if the alternate phase is showing.
    void StopBlinkTimer();

    TLedLittleColor ledColor_ = lcBlack;
    TLedLittleColor clicLedColor_ = lcDarkGray;
    int interval_ = 250;
    bool blink_ = false;
    // 1 while LedColor shows, 0 while ClicLedColor shows in its place.
    int blinkPhase_ = 1;
    TLedLittleColor blinkSavedColor_ = lcBlack;
    // Set from a button press until the last button is released.
    std::optional<TLedLittleColor> pressSavedColor_;
    QTimer* blinkTimer_ = nullptr;
    int bitmapLoads_ = 0;
};

} // namespace vrx

Q_DECLARE_METATYPE(vrx::TLedLittleColor)
