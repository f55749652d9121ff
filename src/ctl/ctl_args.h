#pragma once
// The command line of vrx630ctl: global options, the command and its arguments, and the
// number parsing every command shares. Errors in what was typed are usage errors (status 2).

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vrx::ctl {

// What was typed is wrong: a one-line message, status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The board does not answer, or refuses: a one-line message, status 1.
struct BoardError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Invocation {
    std::string port;      // --port DEVICE
    std::string simulated; // --simulated VARIANT
    bool json = false;
    bool help = false;
    std::string command;
    std::vector<std::string> args; // everything after the command
};

// `args` without the program's name.
Invocation ParseInvocation(const std::vector<std::string>& args);

// A command's own arguments: positionals, options with a value, and flags.
class CommandArgs {
public:
    CommandArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                const std::set<std::string>& flags);

    const std::vector<std::string>& Positional() const { return positional_; }
    std::optional<std::string> Value(const std::string& option) const;
    bool Flag(const std::string& flag) const { return flags_.contains(flag); }

    // The positional count must lie within [min, max].
    void ExpectPositional(size_t min, size_t max, const char* usage) const;

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::set<std::string> flags_;
};

// A whole number within [min, max] (decimal, or hexadecimal after 0x); else a usage error
// that names `what`.
int ParseInt(const std::string& text, const std::string& what, long long min, long long max);
double ParseDouble(const std::string& text, const std::string& what);
// Motor 1..3 as typed; 0..2 returned.
int ParseMotor(const std::string& text);

} // namespace vrx::ctl
