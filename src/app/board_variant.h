#pragma once
// The board-variant flags set by the identification, and what the main window shows for them.

#include "protocol/board_identification.h"

#include <QString>

namespace vrx {

struct BoardVariant {
    bool Zepha = false;
    bool Balsen = false;
    bool Vrx515 = false; // announced when set; no identification sets it
    bool Kit516 = false;
    bool Kit52x = false;
    bool Kit880 = false;

    // Cleared at each detection start; the kit flags stay for the whole run.
    void StartDetection() { Zepha = Balsen = Vrx515 = false; }
    void Set(BoardKind kind);
};

// StaticInfo2 of the board-active announcement: the first flag set, in table order.
QString DetectedText(const BoardVariant& variant);

} // namespace vrx
