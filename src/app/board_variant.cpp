#include "app/board_variant.h"

namespace vrx {

void BoardVariant::Set(BoardKind kind) {
    switch (kind) {
    case BoardKind::Zepha:
        Zepha = true;
        break;
    case BoardKind::Balsen:
        Balsen = true;
        break;
    case BoardKind::Kit516:
        Kit516 = true;
        break;
    case BoardKind::Kit52x:
        Kit52x = true;
        break;
    case BoardKind::Kit880:
        Kit880 = true;
        break;
    case BoardKind::Plain:
        break;
    }
}

QString DetectedText(const BoardVariant& v) {
    if (v.Zepha) {
        return QStringLiteral("ZEPHA detected!");
    }
    if (v.Balsen) {
        return QStringLiteral("Balsen detected!");
    }
    if (v.Vrx515) {
        return QStringLiteral("VRX515 evaluation board detected!");
    }
    if (v.Kit516) {
        return QStringLiteral("VRX630/VRX516 evaluation board detected!");
    }
    if (v.Kit52x) {
        return QStringLiteral("VRX630/VRX52x evaluation board detected!");
    }
    if (v.Kit880) {
        return QStringLiteral("VRX630/VRX880 evaluation board detected!");
    }
    return QStringLiteral("VRX630 evaluation board detected!");
}

} // namespace vrx
