#pragma once
// vrx630ctl as a function: the command line in, the output and the error line out, the exit
// status returned (0 done, 1 the board does not answer or refuses, 2 a usage error).

#include <ostream>
#include <string>
#include <vector>

namespace vrx::ctl {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vrx::ctl
