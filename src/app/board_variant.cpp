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

BoardKind KindOf(const BoardVariant& v) {
    if (v.Zepha) {
        return BoardKind::Zepha;
    }
    if (v.Balsen) {
        return BoardKind::Balsen;
    }
    if (v.Kit516) {
        return BoardKind::Kit516;
    }
    if (v.Kit52x) {
        return BoardKind::Kit52x;
    }
    return v.Kit880 ? BoardKind::Kit880 : BoardKind::Plain;
}

QString DetectedText(const BoardVariant& v) {
    // The VRX515 text comes after the ZEPHA and Balsen texts and before the kits'.
    if (v.Vrx515 && !v.Zepha && !v.Balsen) {
        return QStringLiteral("VRX515 evaluation board detected!");
    }
    const std::string_view name = BoardName(KindOf(v));
    return QString::fromLatin1(name.data(), qsizetype(name.size())) + QStringLiteral(" detected!");
}

QString VariantTitle(const BoardVariant& v, const QString& baseCaption,
                     const QString& shortVersion) {
    if (v.Zepha) {
        return baseCaption + QStringLiteral(" (ZEPHA Version)");
    }
    if (v.Balsen) {
        return baseCaption + QStringLiteral(" (Balsen Version)");
    }
    if (v.Kit516) {
        return QStringLiteral("VRX630/VRX516 Evalutation Kit V") + shortVersion;
    }
    if (v.Kit52x) {
        return QStringLiteral("VRX630/VRX52x Evalutation Kit V") + shortVersion;
    }
    if (v.Kit880) {
        return QStringLiteral("VRX630/VRX880 Evaluation Kit V") + shortVersion;
    }
    return baseCaption;
}

QString DriverButtonCaption(const BoardVariant& v) {
    if (v.Kit516) {
        return QStringLiteral("VRX5&16 Parameters...");
    }
    if (v.Kit52x) {
        return QStringLiteral("VRX52x LoadMeter...");
    }
    if (v.Kit880) {
        return QStringLiteral("VRX880...");
    }
    return QString();
}

} // namespace vrx
