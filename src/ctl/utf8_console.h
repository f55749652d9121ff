#pragma once
// The console shows what vrx630ctl prints as the UTF-8 it is ("steps/s²"). On Windows, while
// the tool runs, standard output and standard error that are a console are written in UTF-16
// (WriteConsoleW) from the UTF-8 the tool prints, whole characters at a time: the console's own
// code page, and the C library's byte-wise writes to it, would show "steps/s┬▓". Output to a
// file or a pipe stays the bytes printed. Elsewhere nothing is changed.

#include <memory>

namespace vrx::ctl {

class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
};

} // namespace vrx::ctl
