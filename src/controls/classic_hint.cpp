#include "controls/classic_hint.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyleOption>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace vrx {

TClassicHint::TClassicHint() = default;

int TClassicHint::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_ToolTip_WakeUpDelay:
        return kHintPause;
    case SH_ToolTip_FallAsleepDelay:
        // While a hint is up, moving to the next control shows its hint after a short pause.
        return kHintHidePause;
    case SH_ToolTipLabel_Opacity:
        return 255;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

int TClassicHint::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    if (metric == PM_ToolTipLabelFrameWidth) {
        return 1;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void TClassicHint::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelTipLabel) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A plain rectangle: hint background with a one-pixel frame in the hint's text colour.
    const QRect frame = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setPen(option->palette.color(QPalette::ToolTipText));
    painter->setBrush(option->palette.brush(QPalette::ToolTipBase));
    painter->drawRect(frame);
    painter->restore();
}

QString TClassicHint::WrapHintText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) {
        QString line;
        for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            const QString joined = line.isEmpty() ? word : line + u' ' + word;
            if (line.isEmpty() || metrics.horizontalAdvance(joined) <= maxWidth) {
                line = joined;
            } else {
                lines << line;
                line = word;
            }
        }
        lines << line;
    }
    return lines.join(u'\n');
}

bool TClassicHint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) {
        return QProxyStyle::eventFilter(watched, event);
    }
    auto* widget = static_cast<QWidget*>(watched);
    const QString hint = widget->toolTip();
    if (hint.isEmpty()) {
        return false; // the hint of a parent may answer
    }
    const QString shown = Qt::mightBeRichText(hint)
                              ? hint
                              : WrapHintText(hint, QFontMetrics(QToolTip::font()), kHintMaxWidth);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), shown, widget, QRect(),
                       kHintHidePause);
    return true;
}

void InstallClassicHints(QApplication& app) {
    auto* hints = new TClassicHint();
    QApplication::setStyle(hints);
    app.installEventFilter(hints);
}

} // namespace vrx
