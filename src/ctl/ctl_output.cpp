#include "ctl/ctl_output.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <type_traits>

namespace vrx::ctl {

namespace {

// Texts may carry what was typed or a file name, which need not be UTF-8: such bytes are
// replaced rather than ending the program.
std::string JsonLine(const nlohmann::ordered_json& object) {
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

void Add(nlohmann::ordered_json& object, const std::vector<Item>& items) {
    for (const Item& item : items) {
        std::visit(
            [&](const auto& value) {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, Quantity>) {
                    object[item.name] = value.value; // a number for scripts
                } else {
                    object[item.name] = value;
                }
            },
            item.value);
    }
}

std::string PeopleText(const Item& item) {
    if (const auto* quantity = std::get_if<Quantity>(&item.value)) {
        return quantity->text;
    }
    if (const auto* number = std::get_if<long long>(&item.value)) {
        return std::to_string(*number);
    }
    if (const auto* flag = std::get_if<bool>(&item.value)) {
        return *flag ? "1" : "0";
    }
    return std::get<std::string>(item.value);
}

} // namespace

void Output::Emit(const std::vector<Item>& items) {
    if (json_) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        Add(object, items);
        out_ << JsonLine(object) << std::flush; // a script reading a watch sees each line at once
        return;
    }
    size_t width = 0;
    for (const Item& item : items) {
        width = std::max(width, item.name.size());
    }
    for (const Item& item : items) {
        out_ << item.name << std::string(width - item.name.size() + 2, ' ') << PeopleText(item)
             << '\n';
    }
    out_ << std::flush;
}

void Output::Line(const std::string& text) {
    if (!json_) {
        out_ << text << '\n' << std::flush;
    }
}

void PrintError(std::ostream& err, bool json, const std::string& message, int exitStatus,
                const std::vector<Item>& details) {
    if (json) {
        nlohmann::ordered_json object = {{"error", message}, {"exit_status", exitStatus}};
        Add(object, details);
        err << JsonLine(object);
    } else {
        // The message may quote what was typed, line breaks and all: it stays one line.
        std::string line = message;
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c >= 0 && c < 0x20; }, '?');
        err << "vrx630ctl: " << line << '\n';
    }
}

} // namespace vrx::ctl
