#pragma once
// A serial port on the network (rfc2217://HOST:PORT, socket://HOST:PORT), served by ser2net or
// any server of either kind. The connection stands for the device: a server that closes it is
// a port that went away. rfc2217:// sets the board's line at the server (19200 8N1, no flow
// control) and checks the server's replies before the port counts as open; raw TCP leaves the
// line as the server has it. A write is done once the system has taken it: there is no transmit
// queue to wait on.

#include "serial/com_port_client.h"
#include "serial/network_port_name.h"
#include "serial/receive_queue.h"
#include "serial/serial_backend.h"
#include "serial/tcp_socket.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

class NetworkSerialBackend final : public SerialBackend {
public:
    // Every refusal comes within this bound: resolving, connecting and the negotiation.
    static constexpr uint32_t kOpenBoundMs = 2800;
    static constexpr uint32_t kNegotiationMs = 2000;

    NetworkSerialBackend() = default;
    ~NetworkSerialBackend() override;
    NetworkSerialBackend(const NetworkSerialBackend&) = delete;
    NetworkSerialBackend& operator=(const NetworkSerialBackend&) = delete;

    bool Open(const std::string& device, int& error) override;
    void Close() override;
    bool IsOpen() const override;
    void SetQueueSizes(int readSize, int writeSize) override;
    bool Apply(const LineSettings& settings) override;
    int Write(const uint8_t* data, int count) override;
    int Read(uint8_t* data, int count) override;
    int InQueueCount() override;
    int OutQueueCount() override { return 0; }
    void PurgeIn() override;
    void PurgeOut() override;
    uint32_t TakeErrors() override;
    bool DeviceLost() override;
    TSerialEvents WaitEvent(TSerialEvents monitored) override;
    void InterruptWait() override;
    void SetRxTrigger(int bytes) override { rxTrigger_ = bytes; }
    std::string FailureText() const override { return failure_; }

private:
    // One connection and negotiation, within `deadline`.
    bool OpenOnce(const std::string& device, std::chrono::steady_clock::time_point deadline,
                  int& error);
    bool Refuse(int& error, int code, std::string reason);
    bool Negotiate(std::chrono::steady_clock::time_point deadline, int& error);
    // Listens before saying anything: a server that takes no client (ser2net's "Port already in
    // use") says so and closes, cleanly only while nothing we sent lies unread at its end.
    bool AwaitRefusal(std::chrono::steady_clock::time_point deadline, uint32_t silentMs,
                      int& error);
    // Reads what the server sends during the open until `enough` holds, `deadline` passes, or
    // (with quietMs) the server has said something and then nothing for quietMs; telnet's
    // answers go out only with `answer`. False when the server closed, its parting words (a
    // refusal's text) in `said`.
    template <typename Enough>
    bool ReadDuringOpen(std::chrono::steady_clock::time_point deadline, std::string& said,
                        bool answer, int quietMs, Enough enough);
    bool ServerClosed(const std::string& said, int& error);
    void SendLineLocked(const LineSettings& line);
    bool FlushTelnetLocked();
    TSerialEvents PumpLocked();
    void SettleInput();
    int RtsWaitMs();

    TcpSocket socket_;
    std::optional<NetworkPortName> name_;
    std::unique_ptr<ComPortClient> telnet_; // rfc2217:// only
    std::string failure_;

    std::mutex mutex_;
    ReceiveQueue rx_;
    LineSettings settings_;
    std::optional<LineSettings> sentLine_;
    uint32_t errors_ = 0;
    bool lost_ = false;
    bool lostReported_ = false;
    bool rtsToggle_ = false;
    bool rtsRaised_ = false;
    std::chrono::steady_clock::time_point rtsDropAt_{};
    std::atomic<bool> stop_{false};
    std::atomic<int> rxTrigger_{0};
};

} // namespace vrx
