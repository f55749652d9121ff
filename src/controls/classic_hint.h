#pragma once
// TClassicHint: the program's hint settings. Every control hint is shown as a plain rectangle
// after a 500 ms pause, hidden after 5000 ms, and word-wrapped at 200 pixels. It is the
// application's style (a proxy of the platform style, for the timings and the frame) and an
// application-wide event filter (for the width and the hide time-out).

#include <QProxyStyle>

class QApplication;
class QFontMetrics;

namespace vrx {

class TClassicHint : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int kHintPause = 500;
    static constexpr int kHintHidePause = 5000;
    static constexpr int kHintMaxWidth = 200;

    TClassicHint();

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Breaks plain text at blanks so that no line is wider than maxWidth; a single word wider
    // than that keeps a line of its own. Line breaks already in the text are kept.
    static QString WrapHintText(const QString& text, const QFontMetrics& metrics, int maxWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Makes TClassicHint the application's style and hint filter; the application owns it.
void InstallClassicHints(QApplication& app);

} // namespace vrx
