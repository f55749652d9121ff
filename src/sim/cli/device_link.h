#pragma once
// A symbolic link with a fixed name to the board's device, whose pseudo-terminal name changes
// from run to run. Made at start, removed when the object goes, and only if it still points to
// our device (someone may have replaced it meanwhile).

#include <string>

namespace vrx::sim {

class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink() { Remove(); }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Replaces an existing symbolic link at linkPath, but nothing else; false with `error`.
    bool Create(const std::string& linkPath, const std::string& target, std::string& error);
    void Remove();

private:
    std::string linkPath_;
    std::string target_;
};

} // namespace vrx::sim
