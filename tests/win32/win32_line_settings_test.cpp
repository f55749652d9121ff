// The component's settings in the device control block, one row per flow control, and the
// driver's line-error flags.
#include "serial/win32_line_settings.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(Win32LineSettings, EachFlowControlSetsTheHandshakeLines) {
    const struct {
        TFlowControl flow;
        RtsToggle toggle;
        DWORD cts, dsr, dtr, rts, xonXoff;
    } cases[] = {
        {fcNone, RtsToggle::ByDriver, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, 0},
        {fcCTS, RtsToggle::ByDriver, 1, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE, 0},
        {fcDTR, RtsToggle::ByDriver, 0, 1, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_ENABLE, 0},
        {fcSoftware, RtsToggle::ByDriver, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, 1},
        {fcRTSToggle, RtsToggle::ByDriver, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_TOGGLE, 0},
        {fcRTSToggle, RtsToggle::ByHand, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE, 0},
    };
    for (const auto& c : cases) {
        DCB dcb{};
        dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = TRUE; // all to be reset
        LineSettings s;
        s.flowControl = c.flow;
        SetLineSettings(s, c.toggle, dcb);
        EXPECT_EQ(dcb.fOutxCtsFlow, c.cts) << c.flow;
        EXPECT_EQ(dcb.fOutxDsrFlow, c.dsr) << c.flow;
        EXPECT_EQ(dcb.fDtrControl, c.dtr) << c.flow;
        EXPECT_EQ(dcb.fRtsControl, c.rts) << c.flow;
        EXPECT_EQ(dcb.fOutX, c.xonXoff) << c.flow;
        EXPECT_EQ(dcb.fInX, c.xonXoff) << c.flow;
        EXPECT_EQ(dcb.XonChar, 17);
        EXPECT_EQ(dcb.XoffChar, 19);
    }
}

TEST(Win32LineSettings, TheDefaultFlowControlLeavesThePortsHandshake) {
    DCB dcb{};
    dcb.fOutxCtsFlow = TRUE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.XonChar = 1;
    SetLineSettings(LineSettings{}, RtsToggle::ByDriver, dcb);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fRtsControl, DWORD(RTS_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fDtrControl, DWORD(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.XonChar, 1);
}

TEST(Win32LineSettings, LineAndOptions) {
    LineSettings s;
    s.baudRate = cbr256000;
    s.parity = paSpace;
    s.stopbits = sb15;
    s.databits = da5;
    s.evtChar = 0x0D;
    s.options = osParityCheck | osNullStrip;
    DCB dcb{};
    SetLineSettings(s, RtsToggle::ByDriver, dcb);
    EXPECT_EQ(dcb.DCBlength, sizeof dcb);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.BaudRate, 256000u);
    EXPECT_EQ(dcb.Parity, SPACEPARITY);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.ByteSize, 5);
    EXPECT_EQ(dcb.EvtChar, 0x0D);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.fNull, 1u);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
}

TEST(Win32LineSettings, DriverErrorFlags) {
    EXPECT_EQ(LineErrors(0), 0u);
    EXPECT_EQ(LineErrors(CE_RXOVER | CE_FRAME), ceRxOver | ceFrame);
    EXPECT_EQ(LineErrors(CE_OVERRUN | CE_RXPARITY | CE_BREAK | CE_TXFULL),
              ceOverrun | ceRxParity | ceBreak);
}

} // namespace
} // namespace vrx
