#pragma once
// The VRX880 board's operating voltage as shown: the 10-bit reading scaled so that 1023 stands
// for 38 V, one decimal in the user's locale and a trailing "V".

#include <QLocale>
#include <QString>

#include <cstdint>

namespace vrx {

QString VoltageText(uint16_t raw, const QLocale& locale = QLocale());

} // namespace vrx
