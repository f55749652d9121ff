#include "ctl/ctl_output.h"

#include <algorithm>
#include <cstdio>

namespace vrx::ctl {

namespace {

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

} // namespace

Item Number(std::string name, long long value) {
    return {std::move(name), std::to_string(value), true, false};
}

Item Text(std::string name, std::string text) {
    return {std::move(name), std::move(text), false, false};
}

Item Flag(std::string name, bool on) {
    return {std::move(name), on ? "1" : "0", false, true};
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

void Output::Emit(const std::vector<Item>& items) {
    if (json_) {
        out_ << '{';
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            out_ << (i ? "," : "") << JsonString(item.name) << ':';
            if (item.flag) {
                out_ << (item.text == "1" ? "true" : "false");
            } else {
                out_ << (item.number ? item.text : JsonString(item.text));
            }
        }
        out_ << "}\n";
        return;
    }
    size_t width = 0;
    for (const Item& item : items) {
        width = std::max(width, item.name.size());
    }
    for (const Item& item : items) {
        out_ << item.name << std::string(width - item.name.size() + 2, ' ') << item.text << '\n';
    }
}

void Output::Line(const std::string& text) {
    if (!json_) {
        out_ << text << '\n';
    }
}

} // namespace vrx::ctl
