#include "ctl/utf8_console.h"

#include <iostream>
#include <streambuf>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vrx::ctl {

#ifdef _WIN32
namespace {

// A stream buffer that writes UTF-8 to a console as UTF-16, holding back a character's first
// bytes until the rest come.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_.push_back(traits_type::to_char_type(c));
            if (c == '\n') {
                sync();
            }
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, size_t(n));
        return n;
    }
    int sync() override {
        size_t whole = pending_.size();
        // A character cut off at the end: its lead byte and the continuation bytes so far.
        size_t back = 0;
        while (back < whole && back < 4 && (pending_[whole - 1 - back] & 0xC0) == 0x80) {
            ++back;
        }
        if (back < whole && (pending_[whole - 1 - back] & 0xC0) == 0xC0) {
            const unsigned char lead = static_cast<unsigned char>(pending_[whole - 1 - back]);
            const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            if (back + 1 < length) {
                whole -= back + 1;
            }
        }
        if (whole == 0) {
            return 0;
        }
        const int size = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), int(whole), nullptr, 0);
        std::wstring text(size_t(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), int(whole), text.data(), size);
        DWORD written = 0;
        const bool ok = WriteConsoleW(console_, text.data(), DWORD(text.size()), &written, nullptr);
        pending_.erase(0, whole);
        return ok ? 0 : -1;
    }

private:
    HANDLE console_;
    std::string pending_;
};

// Puts a console buffer under a stream for as long as it lives, if the stream is a console.
class ConsoleStream {
public:
    ConsoleStream(std::ostream& stream, DWORD handle) : stream_(stream) {
        const HANDLE console = GetStdHandle(handle);
        DWORD mode = 0;
        if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode)) {
            stream_.flush();
            buffer_ = std::make_unique<ConsoleBuffer>(console);
            previous_ = stream_.rdbuf(buffer_.get());
        }
    }
    ~ConsoleStream() {
        if (buffer_) {
            stream_.flush();
            stream_.rdbuf(previous_);
        }
    }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

private:
    std::ostream& stream_;
    std::unique_ptr<ConsoleBuffer> buffer_;
    std::streambuf* previous_ = nullptr;
};

} // namespace

struct Utf8Console::Streams {
    ConsoleStream out{std::cout, STD_OUTPUT_HANDLE};
    ConsoleStream err{std::cerr, STD_ERROR_HANDLE};
};

Utf8Console::Utf8Console() : streams_(std::make_unique<Streams>()) {}
#else
struct Utf8Console::Streams {};

Utf8Console::Utf8Console() = default;
#endif

Utf8Console::~Utf8Console() = default;

} // namespace vrx::ctl
