#pragma once
// The module's exceptions and how the shared commands' errors become them:
//   UsageError   ValueError, with the text vrx630ctl prints
//   FileError    OSError (a file that cannot be read or written)
//   FileRefused  vrx630.FileRefused, a ValueError, with the file's path, line and key
//   NoAnswer     vrx630.NoAnswer; a write that ended partway also says how far it got
//   NoMotion     vrx630.NoMotion
//   Stopped      vrx630.Stopped, a NoMotion
//   CaptureTimeout  TimeoutError
//   BoardClosed  ValueError; a write that ended partway also says how far it got
//   BoardError   vrx630.BoardError, the base of the two above
//   Interrupted  KeyboardInterrupt, unless a signal handler raised something else first

#include "protocol/command_errors.h"

#include <pybind11/pybind11.h>

#include <optional>

namespace vrx::python {

// A capture whose trigger did not come in time.
struct CaptureTimeout : BoardError {
    using BoardError::BoardError;
};

// The board was closed, before a command or by another thread during it.
struct BoardClosed : UsageError {
    explicit BoardClosed(const std::string& message, std::optional<int> written = std::nullopt,
                         std::optional<int> planned = std::nullopt)
        : UsageError(message), written(written), planned(planned) {}
    std::optional<int> written;
    std::optional<int> planned;
};

void RegisterErrors(pybind11::module_& module);

} // namespace vrx::python
