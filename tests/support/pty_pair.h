#pragma once
// A pseudo-terminal whose slave a serial component opens as its device; the test plays the far
// end on the master.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace vrx::test {

class PtyPair {
public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slave_ = ptsname(master_);
        }
    }
    ~PtyPair() { CloseMaster(); }
    const std::string& SlavePath() const { return slave_; }
    void Send(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::vector<uint8_t> Receive(size_t count, int timeoutMs = 5000) {
        std::vector<uint8_t> got;
        pollfd fd{master_, POLLIN, 0};
        while (got.size() < count && ::poll(&fd, 1, timeoutMs) > 0) {
            uint8_t buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }
    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string slave_;
};

} // namespace vrx::test
