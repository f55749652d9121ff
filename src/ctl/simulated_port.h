#pragma once
// The simulated board of --simulated, served in-process on a pseudo-terminal.

#include <memory>
#include <string>

namespace vrx::ctl {

class SimulatedPort {
public:
    // Starts a board of the named variant (plain, zepha, balsen, 516, 52x, 880); throws a
    // UsageError for an unknown one and a BoardError when the pseudo-terminal cannot open.
    explicit SimulatedPort(const std::string& variant);
    ~SimulatedPort();
    const std::string& Device() const;

private:
    struct Board;
    std::unique_ptr<Board> board_;
};

} // namespace vrx::ctl
