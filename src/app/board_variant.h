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

    // Every flag is cleared at each detection start, so what the window shows follows the board
    // now connected, never one connected before it.
    void StartDetection() { *this = BoardVariant(); }
    void Set(BoardKind kind);
};

// The board the flags name: the first one set, in table order.
BoardKind KindOf(const BoardVariant& variant);
// StaticInfo2 of the board-active announcement: the first flag set, in table order.
QString DetectedText(const BoardVariant& variant);
// The main window's title for the flags; `baseCaption` when no variant has a title of its own.
QString VariantTitle(const BoardVariant& variant, const QString& baseCaption,
                     const QString& shortVersion);
// The caption of the driver-chip button, empty when no kit is identified.
QString DriverButtonCaption(const BoardVariant& variant);

} // namespace vrx
