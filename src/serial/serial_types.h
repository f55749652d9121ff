#pragma once
// Settings, events and line-error flags of the serial port component.

#include <cstdint>

namespace vrx {

enum TBaudRate {
    cbr110,
    cbr300,
    cbr600,
    cbr1200,
    cbr2400,
    cbr4800,
    cbr9600,
    cbr14400,
    cbr19200,
    cbr38400,
    cbr56000,
    cbr57600,
    cbr115200,
    cbr128000,
    cbr256000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault, fcRTSToggle };

enum TSerialPortOption : uint32_t {
    osParityCheck = 1u << 0,
    osDsrSensitivity = 1u << 1,
    osIgnoreXOff = 1u << 2,
    osErrorChar = 1u << 3,
    osNullStrip = 1u << 4,
};
using TSerialPortOptions = uint32_t;

// Port events, in the order the dispatcher runs their handlers.
enum TSerialEventState : uint32_t {
    evBreak = 1u << 0,
    evCTS = 1u << 1,
    evDSR = 1u << 2,
    evError = 1u << 3,
    evRing = 1u << 4,
    evRlsd = 1u << 5,
    evRxChar = 1u << 6,
    evRxFlag = 1u << 7,
    evTxEmpty = 1u << 8,
};
using TSerialEvents = uint32_t;
constexpr TSerialEvents kAllSerialEvents = 0x1FF;

// Line error flags passed to OnError. ceDeviceLost: the device went away (adapter pulled,
// pseudo-terminal closed); it is reported once and the reader stops.
enum TSerialError : uint32_t {
    ceRxOver = 1u << 0,
    ceOverrun = 1u << 1,
    ceRxParity = 1u << 2,
    ceFrame = 1u << 3,
    ceBreak = 1u << 4,
    ceDeviceLost = 1u << 16,
};

int BaudRateValue(TBaudRate rate);

struct LineSettings {
    TBaudRate baudRate = cbr9600;
    TParity parity = paNone;
    TStopbits stopbits = sb10;
    TDatabits databits = da8;
    TFlowControl flowControl = fcDefault;
    uint8_t xonChar = 17;
    uint8_t xoffChar = 19;
    uint8_t evtChar = 0;
    TSerialPortOptions options = 0;
};

} // namespace vrx
