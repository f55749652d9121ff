#pragma once
// The settings file "Eval630.ini" beside the program: section "Settings", key "COMPort" (index
// of COM1..COM9, -1 for none), "COMDevice" (the chosen port when it is not one of COM1..COM9,
// such as a /dev/serial/by-id path, /dev/ttyUSB0 or a simulated board), "Reconnect" (1 or 0)
// "FastPolling" (1 or 0), "ClockMHz" (the board clock, 1..32) and "ShowUnits" (1 or 0). Read
// once at start, written once at close. Section "Folders" holds the folder last used for each
// kind of file, kept by the file dialogs (controls/file_folders.h).

#include "chip/physical_units.h"

#include <QString>

namespace vrx {

struct PortSetting {
    int comPort = 0;                 // 0..8 select COM1..COM9; anything else selects none of them
    QString comDevice;               // empty unless another port was chosen
    bool reconnect = true;           // reopen a lost port when it returns
    bool fastPolling = false;        // poll as fast as the board answers, not at the 10 ms tick
    int clockMhz = kDefaultClockMhz; // the board clock the physical units are worked out from
    bool showUnits = true;           // steps/s beside the raw values
};

// Beside the program's executable; for an installed program, or one whose folder is not
// writable, in the user's configuration folder.
QString DefaultSettingsPath();

// A missing or unreadable file gives the defaults: COM1, reconnecting, polling at the tick.
PortSetting ReadPortSetting(const QString& path);
// Errors while writing are ignored.
void WritePortSetting(const QString& path, const PortSetting& setting);

// The setting for the port chosen in the combo box (its item index and port).
PortSetting PortSettingFor(int itemIndex, const QString& text);

} // namespace vrx
