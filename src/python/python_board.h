#pragma once
// A board for Python: the port open and the board detected for the object's life, each command
// run with the GIL released. Several boards run from several threads, and one board from several
// threads interleaves their telegrams: the board's line is held for one telegram or one sequence
// that belongs together, never for a wait, so a stop() from another thread or a signal handler
// goes out at once. Waits end by Ctrl+C and by close(). Arguments are checked and turned into
// the shared commands' arguments here, their results into Python values; nothing else.

#include "chip/motion_units.h"
#include "protocol/board_connection.h"
#include "protocol/command_errors.h"
#include "protocol/motor_commands.h"
#include "python/interrupt_check.h"
#include "python/python_errors.h"
#include "sim/simulated_port.h"

#include <pybind11/pybind11.h>

#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

namespace vrx::python {

class PythonBoard {
public:
    // A board on `port`: a device, a by-id path or COMn, whose clock is `clockMhz`.
    static std::shared_ptr<PythonBoard> Open(const std::string& port, long long clockMhz);
    // An in-process simulated board of `variant` with `options`, running at `clockMhz`.
    // received() of a simulated board gives this many bytes at most, the newest.
    static constexpr size_t kReceivedBytes = 65536;
    static std::shared_ptr<PythonBoard>
    OpenSimulated(const std::string& variant, const sim::LineOptions& options, long long clockMhz);
    ~PythonBoard();
    PythonBoard(const PythonBoard&) = delete;
    PythonBoard& operator=(const PythonBoard&) = delete;

    // Gives the port its settings back; every command after it raises ValueError.
    void Close();
    // Closes every board still open: at the interpreter's exit.
    static void CloseAll();

    std::string Identification() const;
    std::string Variant() const;
    // The port as it was given.
    const std::string& Port() const { return port_; }
    // The board's clock, which the physical units are taken at.
    int ClockMhz() const { return clockMhz_; }
    // The clock and the dividers as the board's own telegrams last wrote or read them.
    MotionUnits FollowedUnits() const;
    // The simulated board, or nothing for a board on a port.
    sim::ServedBoard* Simulated();

    // `values` in the order of kMoveOptions, each checked against its range here, and
    // `physical` in the order of kPhysicalMoveOptions.
    using MoveValues = std::array<std::optional<long long>, kMoveOptions.size()>;
    using PhysicalMoveValues = std::array<std::optional<double>, kPhysicalMoveOptions.size()>;
    pybind11::dict Move(long long motor, const std::string& mode, const MoveValues& values,
                        const PhysicalMoveValues& physical, bool wait, bool force);
    pybind11::dict Get(const std::string& name, const std::optional<long long>& motor);
    pybind11::dict Set(const std::string& name, const pybind11::object& value,
                       const std::optional<long long>& motor, bool force,
                       const pybind11::kwargs& fields);
    pybind11::dict Status();
    pybind11::bytes RamRead(const std::optional<std::filesystem::path>& path);
    void RamWrite(const pybind11::object& data);
    void ConfigSave(const std::filesystem::path& path);
    pybind11::list ConfigDiff(const std::filesystem::path& path);
    pybind11::list ConfigLoad(const std::filesystem::path& path, bool dryRun);
    void Stop(const pybind11::object& motor);
    pybind11::bytes Raw(long long b0, long long b1, long long b2, long long b3);
    // The passes around the first time `trigger` ("arrived:1", ...) becomes true, read back to
    // back: those of `preMs` before it to `postMs` after, time_ms counted from it. A
    // TimeoutError when no trigger came within `timeoutS` seconds.
    pybind11::list Capture(const std::string& trigger, long long preMs, long long postMs,
                           double timeoutS, bool units);

    // `command(session)` with the GIL released; what a signal handler raised meanwhile is
    // raised in its place.
    template <class Command> auto Run(Command&& command) {
        return WithoutGil([&](Raised& raised) {
            if (interrupt_.Closing()) {
                throw BoardClosed("the board is closed");
            }
            return Interruptible(raised, [&] {
                try {
                    return command(connection_->Session());
                } catch (const Unfinished& e) {
                    if (interrupt_.Closing()) {
                        throw BoardClosed(kClosedDuring, e.written, e.planned);
                    }
                    throw;
                } catch (const Interrupted&) {
                    if (interrupt_.Closing()) {
                        throw BoardClosed(kClosedDuring);
                    }
                    throw;
                }
            });
        });
    }

private:
    static constexpr const char* kClosedDuring = "the board was closed during the command";
    using Raised = std::optional<pybind11::error_already_set>;

    explicit PythonBoard(long long clockMhz);
    // Every board made, for CloseAll.
    static void Remember(const std::shared_ptr<PythonBoard>& board);

    void Connect(const std::string& port, const std::string& device,
                 std::unique_ptr<SerialBackend> backend);
    // f() as one command for the interrupt check: a failure takes along what a signal handler
    // raised during it.
    template <class F> auto Interruptible(Raised& raised, F&& f) {
        interrupt_.Begin();
        try {
            return f();
        } catch (...) {
            raised = interrupt_.TakeRaised();
            throw;
        }
    }
    // f(raised) with the GIL released; the failure raised in Python, a signal handler's first.
    template <class F> auto WithoutGil(F&& f) {
        Raised raised;
        std::optional<decltype(f(raised))> result;
        std::exception_ptr failure;
        {
            pybind11::gil_scoped_release release;
            try {
                result.emplace(f(raised));
            } catch (...) {
                failure = std::current_exception();
            }
        }
        if (raised) {
            throw *raised;
        }
        if (failure) {
            std::rethrow_exception(failure);
        }
        return std::move(*result);
    }

    InterruptCheck interrupt_;
    std::string port_;
    int clockMhz_;
    mutable std::mutex unitsMutex_;
    MotionUnits units_;
    std::optional<sim::SimulatedPort> simulated_;
    std::optional<BoardConnection> connection_;
};

} // namespace vrx::python
