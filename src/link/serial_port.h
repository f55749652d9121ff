#pragma once
// TSerialPort: the program's only channel to the board. Opens a port by name with a fixed line
// configuration, writes without blocking the user interface, and turns the arrival of bytes
// into an OnRxChar event on the user-interface thread carrying the number of waiting bytes.
// A reader thread waits for port events and hands each one synchronously to the
// user-interface thread; it reads no data and calls no handler itself.

#include "serial/serial_backend.h"
#include "serial/serial_types.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vrx {

class TSerialPort : public QObject {
    Q_OBJECT
public:
    explicit TSerialPort(std::unique_ptr<SerialBackend> backend = nullptr,
                         QObject* parent = nullptr);
    ~TSerialPort() override;

    void Open();
    void Close();
    // Closes the port and opens the next one through `backend`; nothing gives the platform's.
    void SetBackend(std::unique_ptr<SerialBackend> backend);
    bool IsOpen() const;
    int Write(const uint8_t* data, int count);
    int Read(uint8_t* data, int count);
    int OutQueueCount();
    // The device has gone away, whether or not the reader has reported it yet.
    bool DeviceLost();
    void PurgeIn();
    void PurgeOut();
    // Arrivals are reported at once when this many bytes wait (0: when the line pauses).
    void SetRxTrigger(int bytes);

    // errno of the last failed Open (0 after a successful one).
    int LastError() const { return lastError_; }
    // Why the last Open failed, in the user's words; empty after a successful one.
    std::string LastErrorText() const;

    QString DeviceName() const { return deviceName_; }
    void SetDeviceName(const QString& name) { deviceName_ = name; }
    TBaudRate BaudRate() const { return line_.baudRate; }
    void SetBaudRate(TBaudRate v) {
        line_.baudRate = v;
        ApplyLine();
    }
    TParity Parity() const { return line_.parity; }
    void SetParity(TParity v) {
        line_.parity = v;
        ApplyLine();
    }
    TStopbits Stopbits() const { return line_.stopbits; }
    void SetStopbits(TStopbits v) {
        line_.stopbits = v;
        ApplyLine();
    }
    TDatabits Databits() const { return line_.databits; }
    void SetDatabits(TDatabits v) {
        line_.databits = v;
        ApplyLine();
    }
    TFlowControl FlowControl() const { return line_.flowControl; }
    void SetFlowControl(TFlowControl v) {
        line_.flowControl = v;
        ApplyLine();
    }
    uint8_t XonChar() const { return line_.xonChar; }
    void SetXonChar(uint8_t v) {
        line_.xonChar = v;
        ApplyLine();
    }
    uint8_t XoffChar() const { return line_.xoffChar; }
    void SetXoffChar(uint8_t v) {
        line_.xoffChar = v;
        ApplyLine();
    }
    uint8_t EvtChar() const { return line_.evtChar; }
    void SetEvtChar(uint8_t v) { line_.evtChar = v; }
    TSerialPortOptions Options() const { return line_.options; }
    void SetOptions(TSerialPortOptions v) {
        line_.options = v;
        ApplyLine();
    }
    TSerialEvents MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(TSerialEvents v) { monitorEvents_ = v; }
    int ReadBufferSize() const { return readBufferSize_; }
    void SetReadBufferSize(int v) { readBufferSize_ = v; }
    int WriteBufferSize() const { return writeBufferSize_; }
    void SetWriteBufferSize(int v) { writeBufferSize_ = v; }
    bool Simple() const { return simple_; }
    void SetSimple(bool v) { simple_ = v; }

    // Event handlers, run on the user-interface thread.
    std::function<void(TSerialPort&, int providerSubType, int error)> OnOpen;
    std::function<void(TSerialPort&)> OnBreak, OnCTS, OnDSR, OnRing, OnRLSD, OnRxFlag, OnTxEmpty;
    std::function<void(TSerialPort&, uint32_t errors)> OnError;
    std::function<void(TSerialPort&, int count)> OnRxChar;

private:
    void ApplyLine();
    void ReaderLoop(int generation);
    void Dispatch(TSerialEvents events, int generation);

    std::unique_ptr<SerialBackend> backend_;
    QString deviceName_ = QStringLiteral("COM2");
    LineSettings line_;
    std::atomic<TSerialEvents> monitorEvents_{kAllSerialEvents}; // read by the reader
    int readBufferSize_ = 4096;
    int writeBufferSize_ = 2048;
    bool simple_ = false;
    int lastError_ = 0;

    std::thread reader_;
    std::mutex handoffMutex_;
    std::condition_variable handoffDone_;
    bool handled_ = true;
    bool stopReader_ = false;
    std::atomic<int> generation_{0};
};

} // namespace vrx
