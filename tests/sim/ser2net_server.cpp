#include "ser2net_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace vrx::test {

namespace {

std::string FindSer2net() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

} // namespace

uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool ListensOnLoopback(uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    std::string line;
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A") {
            return true;
        }
    }
    return false;
}

Ser2netServer::~Ser2netServer() {
    Stop();
    if (!folder_.empty()) {
        std::remove((folder_ + "/ser2net.yaml").c_str());
        ::rmdir(folder_.c_str());
    }
}

std::string Ser2netServer::Name(size_t index) const {
    return std::string(ports_.at(index).rfc2217 ? "rfc2217" : "socket") +
           "://127.0.0.1:" + std::to_string(TcpPort(index));
}

bool Ser2netServer::Start(const std::vector<Port>& ports) {
    Stop();
    ports_ = ports;
    tcpPorts_.clear();
    for (size_t i = 0; i < ports_.size(); ++i) {
        tcpPorts_.push_back(FreeLoopbackPort());
    }
    std::ostringstream yaml;
    yaml << "%YAML 1.1\n---\n";
    for (size_t i = 0; i < ports_.size(); ++i) {
        yaml << "connection: &port" << i << "\n"
             << "  accepter: " << (ports_[i].rfc2217 ? "telnet(rfc2217),tcp," : "tcp,")
             << "127.0.0.1," << tcpPorts_[i] << "\n"
             << "  connector: serialdev," << ports_[i].device << ",19200n81,local\n"
             << "  options:\n    max-connections: 1\n    chardelay: false\n";
    }
    return StartWith(yaml.str(), tcpPorts_);
}

bool Ser2netServer::StartWith(const std::string& yaml, const std::vector<uint16_t>& listens) {
    Stop();
    tcpPorts_ = listens;
    char folder[] = "/tmp/vrx-ser2net-XXXXXX";
    if (folder_.empty() && ::mkdtemp(folder) != nullptr) {
        folder_ = folder;
    }
    std::ofstream file(folder_ + "/ser2net.yaml");
    file << yaml;
    file.close();
    if (!file) {
        error_ = "cannot write the configuration in " + folder_;
        return false;
    }
    return Launch();
}

bool Ser2netServer::Launch() {
    const std::string program = FindSer2net();
    if (program.empty()) {
        error_ = "ser2net is not installed (Debian package ser2net)";
        return false;
    }
    // -n: in the foreground, a child of the test; -u: no UUCP lock files for the devices.
    process_ = std::make_unique<ChildProcess>(
        program, std::vector<std::string>{"-n", "-u", "-c", folder_ + "/ser2net.yaml", "-P",
                                          folder_ + "/ser2net.pid"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        bool all = true;
        for (const uint16_t port : tcpPorts_) {
            all = all && ListensOnLoopback(port);
        }
        if (all) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            error_ = "ser2net did not listen within 5 s";
            Stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void Ser2netServer::Stop() {
    if (process_) {
        process_->Signal(SIGTERM);
        if (process_->Wait(std::chrono::seconds(5)) < 0) {
            process_->Signal(SIGKILL);
            process_->Wait(std::chrono::seconds(5));
        }
        process_.reset();
    }
}

bool Ser2netServer::Restart() {
    Stop();
    // The old listener is gone once the process is: the same ports bind again.
    return Launch();
}

} // namespace vrx::test
