#include "app/version.h"

namespace vrx {

QString ShortVersion(const QString& fileVersion) {
    const qsizetype dot = fileVersion.indexOf(QLatin1Char('.'));
    // Positions below count from 1, as the version format is defined.
    const qsizetype p = dot + 1; // 0 when there is no "."
    QString result = fileVersion.left(p + 1);
    for (qsizetype i = p + 3; i < fileVersion.size(); ++i) {
        const QChar c = fileVersion.at(i - 1);
        if (c == QLatin1Char('.')) {
            break;
        }
        result += c;
    }
    if (result.size() == 3) {
        result += QLatin1Char('0');
    }
    return result;
}

} // namespace vrx
