#pragma once
// The register list of vrx630ctl's help: every register with its fields as `set` takes them.

#include <string>

namespace vrx::ctl {

std::string RegisterHelp();

} // namespace vrx::ctl
