#include "ctl/ctl_run.h"
#include "ctl/stop_request.h"
#include "ctl/utf8_console.h"

#include <iostream>

int main(int argc, char** argv) {
    vrx::ctl::InstallStopHandler();
    const vrx::ctl::Utf8Console console;
    // The arguments are UTF-8 on every system: on Windows through the program's manifest.
    return vrx::ctl::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
