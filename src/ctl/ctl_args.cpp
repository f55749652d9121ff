#include "ctl/ctl_args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace vrx::ctl {

Invocation ParseInvocation(const std::vector<std::string>& args) {
    Invocation inv;
    size_t i = 0;
    const auto value = [&](const std::string& option) {
        if (i + 1 >= args.size()) {
            throw UsageError(option + " needs a value");
        }
        return args[++i];
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port") {
            inv.port = value(a);
        } else if (a == "--simulated") {
            inv.simulated = value(a);
        } else if (a == "--json") {
            inv.json = true;
        } else if (a == "--help" || a == "-h") {
            inv.help = true;
        } else if (a.starts_with("-") && a.size() > 1 && !std::isdigit(unsigned(a[1]))) {
            throw UsageError("unknown option " + a);
        } else {
            inv.command = a;
            inv.args.assign(args.begin() + long(i) + 1, args.end());
            break;
        }
    }
    if (!inv.port.empty() && !inv.simulated.empty()) {
        throw UsageError("give --port or --simulated, not both");
    }
    return inv;
}

CommandArgs::CommandArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                         const std::set<std::string>& flags) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (valued.contains(a)) {
            if (i + 1 >= args.size()) {
                throw UsageError(a + " needs a value");
            }
            values_.emplace_back(a, args[++i]);
        } else if (flags.contains(a)) {
            flags_.insert(a);
        } else if (a.starts_with("--")) {
            throw UsageError("unknown option " + a);
        } else {
            positional_.push_back(a);
        }
    }
}

std::optional<std::string> CommandArgs::Value(const std::string& option) const {
    std::optional<std::string> found;
    for (const auto& [name, value] : values_) {
        if (name == option) {
            found = value; // the last one given counts
        }
    }
    return found;
}

void CommandArgs::ExpectPositional(size_t min, size_t max, const char* usage) const {
    if (positional_.size() < min || positional_.size() > max) {
        throw UsageError(std::string("usage: vrx630ctl ") + usage);
    }
}

int ParseInt(const std::string& text, const std::string& what, long long min, long long max) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* start = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(start, &end, hex ? 16 : 10);
    if (text.empty() || *start == '\0' || *end != '\0' || errno == ERANGE) {
        throw UsageError(what + " must be a whole number, not \"" + text + "\"");
    }
    if (value < min || value > max) {
        throw UsageError(what + " " + text + " is out of range " + std::to_string(min) + ".." +
                         std::to_string(max));
    }
    return static_cast<int>(value);
}

double ParseDouble(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) {
        throw UsageError(what + " must be a number, not \"" + text + "\"");
    }
    return value;
}

int ParseMotor(const std::string& text) {
    return ParseInt(text, "the motor", 1, 3) - 1;
}

} // namespace vrx::ctl
