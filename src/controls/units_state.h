#pragma once
// UnitsState: what the windows convert raw motion values by, the board clock and each motor's
// dividers, and whether converted values are shown at all. The dividers follow every telegram
// the board answered that writes or reads register 12 of a motor, so the program's own writes
// (register window, configuration apply) keep them true without polling.

#include "chip/motion_units.h"
#include "chip/telegram.h"

#include <QObject>
#include <QString>

namespace vrx {

class UnitsState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const MotionUnits& Units() const { return units_; }
    bool Shown() const { return shown_; }
    void SetShown(bool shown);
    void SetClockMhz(int mhz);
    // motor 0..2, the register's data bits.
    void SetDividers(int motor, uint32_t register12);
    // A telegram and the board's answer to it.
    void Observe(const Telegram& telegram, const Answer& answer);

    // "1,907 steps/s", "29.1 steps/s²", "976.1M steps/s²" for motor 0..2.
    QString Text(UnitKind kind, int motor, int32_t raw) const;
    // In steps/s or steps/s².
    double Physical(UnitKind kind, int motor, int32_t raw) const;

signals:
    void changed();

private:
    MotionUnits units_;
    bool shown_ = true;
};

} // namespace vrx
