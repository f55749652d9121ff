#include "config/config_transfer.h"

#include "chip/ram_table.h"
#include "chip/register_names.h"

namespace vrx {

std::optional<ChipConfig> ReadChipConfig(const TransferFunction& transfer,
                                         const ConfigProgress& progress) {
    ChipConfig config;
    const auto& registers = ConfigRegisters();
    const auto& entries = ConfigEntries();
    const int total = int(registers.size()) + kRamWords;
    int done = 0;
    for (size_t r = 0; r < registers.size(); ++r) {
        const RegisterDef& reg = *registers[r].reg;
        const auto answer = transfer(ReadTelegram(reg, registers[r].motor));
        if (!answer) {
            return std::nullopt;
        }
        const uint32_t data = answer->Value();
        config.registerData[r] = data;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (size_t(entries[i].registerIndex) != r) {
                continue;
            }
            config.values[i] = WriteFieldAsRead(reg, entries[i].field, data);
        }
        if (progress) {
            progress(++done, total);
        }
    }
    RamTable ram;
    const int words = ReadRamWords(ram, transfer, 0, kRamWords - 1, [&](int) {
        if (progress) {
            progress(++done, total);
        }
    });
    if (words < kRamWords) {
        return std::nullopt;
    }
    for (int address = 0; address < kRamBytes; ++address) {
        config.ram[size_t(address)] = ram.Byte(address);
    }
    return config;
}

ApplyOutcome ApplyConfig(const TransferFunction& transfer, const ChipConfig& file, bool dryRun,
                         const ApplyHooks& hooks) {
    ApplyOutcome outcome;
    const auto stopped = [&](ApplyOutcome::Stop where) {
        outcome.stoppedAt = where;
        outcome.interrupted = hooks.stopRequested && hooks.stopRequested();
        return outcome;
    };
    const auto chip = ReadChipConfig(transfer, hooks.progress);
    if (!chip) {
        return stopped(ApplyOutcome::Stop::Reading);
    }
    outcome.changes = Differences(*chip, file);
    if (dryRun) {
        return outcome;
    }
    const std::vector<ApplyStep> steps = ApplySteps(*chip, file);
    outcome.planned = int(steps.size());
    for (const ApplyStep& step : steps) {
        if (!transfer(step.telegram)) {
            return stopped(ApplyOutcome::Stop::Writing);
        }
        ++outcome.written;
        if (hooks.written) {
            hooks.written(step.changes);
        }
        if (hooks.progress) {
            hooks.progress(outcome.written, outcome.planned);
        }
    }
    outcome.verified = ReadChipConfig(transfer, hooks.progress);
    if (!outcome.verified) {
        return stopped(ApplyOutcome::Stop::Verifying);
    }
    outcome.remaining = Differences(*outcome.verified, file);
    return outcome;
}

std::string ApplyStopText(const ApplyOutcome& outcome) {
    const std::string cause =
        outcome.interrupted ? "Stopped on request. " : "The board does not respond. ";
    switch (outcome.stoppedAt) {
    case ApplyOutcome::Stop::None:
        return {};
    case ApplyOutcome::Stop::Reading:
        return cause + "The chip's configuration could not be read; nothing was written.";
    case ApplyOutcome::Stop::Writing:
        return cause +
               "The configuration was not written completely: " + std::to_string(outcome.written) +
               " of " + std::to_string(outcome.planned) + " telegrams were written.";
    case ApplyOutcome::Stop::Verifying:
        return cause + "All " + std::to_string(outcome.planned) +
               " telegrams were written, but the chip could not be read back.";
    }
    return {};
}

} // namespace vrx
