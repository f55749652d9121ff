#include "ctl/ctl_commands.h"
#include "ctl/ctl_run.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
    // Ctrl+C ends watch and --wait at their next step, so the port is closed properly.
    const auto stop = [](int) { vrx::ctl::g_stop = true; };
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    return vrx::ctl::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
