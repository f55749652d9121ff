#include "protocol/board_identification.h"

#include <string_view>

namespace vrx {

namespace {

bool At(const Identification& bytes, size_t pos, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (bytes[pos + i] != static_cast<uint8_t>(text[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

BoardKind IdentifyBoard(const Identification& bytes) {
    if (At(bytes, 0, "ZEP")) {
        return BoardKind::Zepha;
    }
    if (At(bytes, 0, "ZAP")) {
        return BoardKind::Balsen;
    }
    if (At(bytes, 0, "EV") && At(bytes, 6, "V2.5")) {
        return BoardKind::Kit516;
    }
    if (At(bytes, 0, "EV") && At(bytes, 6, "V3.")) {
        return BoardKind::Kit52x;
    }
    if (At(bytes, 0, "EV880")) {
        return BoardKind::Kit880;
    }
    return BoardKind::Plain;
}

std::string_view BoardName(BoardKind kind) {
    switch (kind) {
    case BoardKind::Zepha:
        return "ZEPHA";
    case BoardKind::Balsen:
        return "Balsen";
    case BoardKind::Kit516:
        return "VRX630/VRX516 evaluation board";
    case BoardKind::Kit52x:
        return "VRX630/VRX52x evaluation board";
    case BoardKind::Kit880:
        return "VRX630/VRX880 evaluation board";
    case BoardKind::Plain:
        break;
    }
    return "VRX630 evaluation board";
}

std::string_view VariantName(BoardKind kind) {
    static constexpr std::string_view kNames[] = {"plain", "zepha", "balsen", "516", "52x", "880"};
    return kNames[int(kind)];
}

} // namespace vrx
