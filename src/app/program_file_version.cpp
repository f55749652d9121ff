#include "app/version.h"

namespace vrx {

QString ProgramFileVersion() {
    return QStringLiteral(VRX_FILE_VERSION);
}

} // namespace vrx
