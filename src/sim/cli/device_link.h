#pragma once
// A symbolic link with a fixed name to the board's device, whose pseudo-terminal name changes
// from run to run. Made at start, removed when the object goes, and only if it still points to
// our device (someone may have replaced it meanwhile). A link whose device is still there is
// another simulator's (or someone's) and is never taken over.

#include <string>

namespace vrx::sim {

class DeviceLink {
public:
    enum class Result {
        Made,
        Taken,  // the path is a link to a device that is there, or no link at all
        Failed, // the system refused
    };

    DeviceLink() = default;
    ~DeviceLink() { Remove(); }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Replaces a stale symbolic link at linkPath (one whose target is gone), but nothing else;
    // `error` says why when the link was not made.
    Result Create(const std::string& linkPath, const std::string& target, std::string& error);
    void Remove();

private:
    std::string linkPath_;
    std::string target_;
};

} // namespace vrx::sim
