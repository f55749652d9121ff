#pragma once
// The module's exceptions and how the shared commands' errors become them:
//   UsageError   ValueError, with the text vrx630ctl prints
//   FileError    OSError (a file that cannot be read or written)
//   FileRefused  vrx630.FileRefused, a ValueError, with the file's path, line and key
//   NoAnswer     vrx630.NoAnswer; a write that ended partway also says how far it got
//   NoMotion     vrx630.NoMotion
//   BoardError   vrx630.BoardError, the base of the two above
//   Interrupted  KeyboardInterrupt, unless a signal handler raised something else first

#include <pybind11/pybind11.h>

namespace vrx::python {

void RegisterErrors(pybind11::module_& module);

} // namespace vrx::python
