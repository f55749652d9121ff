#pragma once
// The console shows what vrx630ctl prints as the UTF-8 it is ("steps/s²"): on Windows the
// console's output code page is UTF-8 for as long as the tool runs, and the one it had is
// given back at the end, since the console outlives the tool. Elsewhere nothing is changed.

namespace vrx::ctl {

class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    unsigned int previous_ = 0; // 0: nothing to give back
};

} // namespace vrx::ctl
