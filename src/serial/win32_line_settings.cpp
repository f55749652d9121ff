#include "serial/win32_line_settings.h"

namespace vrx {

namespace {

void SetFlowFields(TFlowControl flow, RtsToggle toggle, DCB& dcb) {
    // Every flow control but the default leaves DTR on and XON/XOFF off unless it names them.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    switch (flow) {
    case fcNone:
    case fcDefault:
        break;
    case fcCTS:
        dcb.fOutxCtsFlow = TRUE;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        break;
    case fcDTR:
        dcb.fOutxDsrFlow = TRUE;
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        break;
    case fcSoftware:
        dcb.fOutX = TRUE;
        dcb.fInX = TRUE;
        break;
    case fcRTSToggle:
        dcb.fRtsControl = toggle == RtsToggle::ByDriver ? RTS_CONTROL_TOGGLE : RTS_CONTROL_DISABLE;
        break;
    }
}

} // namespace

void SetLineSettings(const LineSettings& s, RtsToggle toggle, DCB& dcb) {
    static constexpr BYTE kParity[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
    static constexpr BYTE kStopBits[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
    dcb.DCBlength = sizeof dcb;
    dcb.fBinary = TRUE; // the only mode Windows has
    dcb.BaudRate = static_cast<DWORD>(BaudRateValue(s.baudRate));
    dcb.Parity = kParity[s.parity];
    dcb.StopBits = kStopBits[s.stopbits];
    dcb.ByteSize = static_cast<BYTE>(4 + s.databits);
    dcb.EvtChar = static_cast<char>(s.evtChar);
    dcb.fParity = (s.options & osParityCheck) ? TRUE : FALSE;
    dcb.fDsrSensitivity = (s.options & osDsrSensitivity) ? TRUE : FALSE;
    dcb.fTXContinueOnXoff = (s.options & osIgnoreXOff) ? TRUE : FALSE;
    dcb.fErrorChar = (s.options & osErrorChar) ? TRUE : FALSE;
    dcb.fNull = (s.options & osNullStrip) ? TRUE : FALSE;
    if (s.flowControl != fcDefault) {
        SetFlowFields(s.flowControl, toggle, dcb);
        dcb.XonChar = static_cast<char>(s.xonChar);
        dcb.XoffChar = static_cast<char>(s.xoffChar);
    }
}

uint32_t LineErrors(DWORD commErrors) {
    static constexpr struct {
        DWORD driver;
        uint32_t component;
    } kFlags[] = {{CE_RXOVER, ceRxOver},
                  {CE_OVERRUN, ceOverrun},
                  {CE_RXPARITY, ceRxParity},
                  {CE_FRAME, ceFrame},
                  {CE_BREAK, ceBreak}};
    uint32_t errors = 0;
    for (const auto& flag : kFlags) {
        if (commErrors & flag.driver) {
            errors |= flag.component;
        }
    }
    return errors;
}

} // namespace vrx
