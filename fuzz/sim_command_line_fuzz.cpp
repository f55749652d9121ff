// Fuzz target of vrx630-sim's command line: the input is the arguments, separated by NUL
// bytes. Any arguments either give options within their ranges or a one-line error. Any
// exception or fault is a finding.

#include "sim/cli/command_line.h"

#include "chip/physical_units.h"
#include "fuzz_arguments.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using vrx::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = vrx::fuzz::Arguments(data, size);
    const std::vector<std::string_view> views(args.begin(), args.end());
    const vrx::sim::CommandLineResult result = vrx::sim::ParseCommandLine(views);
    if (!result.options) {
        Require(!result.error.empty() && result.error.find('\n') == std::string::npos);
        return 0;
    }
    const vrx::sim::LineOptions& line = result.options->line;
    Require(line.dropEvery >= 0 && line.delayMs >= 0 && line.identDelayMs >= 0);
    Require(!line.splitGapMs || *line.splitGapMs >= 0);
    Require(!line.hangUpAfter || *line.hangUpAfter >= 0);
    Require(!line.wrongIdent || !line.wrongIdent->empty());
    Require(vrx::ValidClockMhz(result.options->clockMhz));
    Require(!result.options->loadValues ||
            ((*result.options->loadValues)[0] <= 7 && (*result.options->loadValues)[1] <= 7));
    return 0;
}
