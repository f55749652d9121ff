#include "app/platform_defaults.h"

#include <QByteArray>
#include <QtGlobal>

namespace vrx {

void SetPlatformDefaults() {
#ifdef _WIN32
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (chosen.isEmpty() || chosen == "windows") {
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
    }
#endif
}

} // namespace vrx
