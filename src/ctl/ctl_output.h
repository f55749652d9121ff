#pragma once
// What vrx630ctl prints: each result is a list of named values, printed for people as aligned
// "name  value" lines, or with --json as one JSON object per line.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vrx::ctl {

struct Item {
    std::string name;
    std::string text;    // as printed for people
    bool number = false; // JSON: a number rather than a string
    bool flag = false;   // JSON: true or false (text "1" or "0")
};

Item Number(std::string name, long long value);
Item Text(std::string name, std::string text);
Item Flag(std::string name, bool on);
std::string Hex(uint32_t value, int digits);

class Output {
public:
    Output(std::ostream& out, bool json) : out_(out), json_(json) {}
    bool Json() const { return json_; }
    void Emit(const std::vector<Item>& items);
    // A line for people only (headings, CSV); nothing with --json.
    void Line(const std::string& text);

private:
    std::ostream& out_;
    bool json_;
};

} // namespace vrx::ctl
