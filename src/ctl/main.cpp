#include "ctl/ctl_run.h"
#include "ctl/stop_request.h"

#include <iostream>

int main(int argc, char** argv) {
    vrx::ctl::InstallStopHandler();
    return vrx::ctl::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
