#include "drivers/voltage_text.h"

namespace vrx {

QString VoltageText(uint16_t raw, const QLocale& locale) {
    const double volts = raw / 1023.0 * 38.0;
    QLocale plain = locale;
    // Readings above 1023 reach thousands of volts; a group separator would misread as a decimal.
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(volts, 'f', 1) + u'V';
}

} // namespace vrx
