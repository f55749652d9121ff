#pragma once
// What vrx630ctl prints: each result is a list of named values, printed for people as aligned
// "name  value" lines, or with --json as one JSON object per line. Errors go the same two ways:
// "vrx630ctl: message", or {"error": "message", "exit_status": N}. Names are identifiers.

#include "protocol/named_values.h"

#include <ostream>
#include <string>
#include <vector>

namespace vrx::ctl {

using Item = NamedValue;

class Output {
public:
    Output(std::ostream& out, bool json) : out_(out), json_(json) {}
    bool Json() const { return json_; }
    void Emit(const std::vector<Item>& items);
    // A line for people only (headings, CSV); nothing with --json.
    void Line(const std::string& text);
    // Whether what is written goes nowhere: stdout was closed (`| head -1`) or cannot be written.
    bool Closed() const { return out_.fail(); }

private:
    std::ostream& out_;
    bool json_;
};

// The error line of a failed command in the chosen form; `details` go into the JSON object.
void PrintError(std::ostream& err, bool json, const std::string& message, int exitStatus,
                const std::vector<Item>& details = {});

} // namespace vrx::ctl
