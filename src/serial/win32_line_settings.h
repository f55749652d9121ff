#pragma once
// The component's line settings in the device control block of the Windows communications API,
// and the driver's line-error flags in the component's terms.

#include "serial/serial_types.h"

#include <windows.h>

#include <cstdint>

namespace vrx {

// Where the settings ask for RTS toggling: by the driver, or (where the driver refuses it)
// RTS held low and raised by the backend around each write.
enum class RtsToggle { ByDriver, ByHand };

// Puts the settings into `dcb`: the line, the event character and the options; the flow
// fields by the flow control, which fcDefault leaves as the port has them.
void SetLineSettings(const LineSettings& settings, RtsToggle toggle, DCB& dcb);

// The ceRxOver.. flags for the CE_ flags ClearCommError reports.
uint32_t LineErrors(DWORD commErrors);

} // namespace vrx
