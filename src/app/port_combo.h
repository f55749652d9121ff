#pragma once
// The port combo box: its choices renewed without losing the user's, and the port its choice
// opens. An item's text is what the list shows, its data the port (a by-id item shows the
// adapter's description and opens its by-id path); typed text is a port as it stands.

#include "app/port_list.h"

class QComboBox;

namespace vrx {

// Shows `choices`, keeping the chosen port or the typed text (with the cursor in it); a combo
// box that already shows them is left alone.
void ShowPortChoices(QComboBox& combo, const QList<PortChoice>& choices);

// The chosen item's port, or the typed text.
QString ChosenPort(const QComboBox& combo);

// Selects the item of `port`; a port that is not listed stands as typed text.
void SelectPort(QComboBox& combo, const QString& port);

} // namespace vrx
