#pragma once
// How a command on the board fails, the same for every front end: vrx630ctl turns each into one
// line and its exit status, the Python module into an exception.

#include <stdexcept>
#include <string>

namespace vrx {

// What was given cannot be used (a value outside its field's range, an unknown name, a file
// that cannot be read or written): nothing is sent.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A file that cannot be read or written, with the system's reason.
struct FileError : UsageError {
    using UsageError::UsageError;
};

// A file that is no proper configuration or .630 file, and where it departs from the form.
struct FileRefused : UsageError {
    FileRefused(const std::string& message, std::string path, int line, std::string key)
        : UsageError(message), path(std::move(path)), line(line), key(std::move(key)) {}
    std::string path;
    int line;        // from 1; 0 for the file as a whole
    std::string key; // the section and key at fault ("motor2.X_TARGET"); empty for none
};

// The board does not answer, refuses, or does not do what it was told.
struct BoardError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The board left a telegram unanswered, or its port went away.
struct NoAnswer : BoardError {
    using BoardError::BoardError;
};

// The session's stop request (Ctrl+C) ended a wait or a run of telegrams.
struct Interrupted : BoardError {
    explicit Interrupted(const std::string& message = "interrupted") : BoardError(message) {}
};

// A motor that was to arrive stood still too long.
struct NoMotion : BoardError {
    using BoardError::BoardError;
};

// A motor that was to arrive was stopped on its way by a stop sent through the same session.
struct Stopped : NoMotion {
    using NoMotion::NoMotion;
};

// A write of several telegrams ended partway, by a stop request or the board, after `written`
// of `planned`.
struct Unfinished : BoardError {
    Unfinished(const std::string& message, int written, int planned, bool interrupted)
        : BoardError(message), written(written), planned(planned), interrupted(interrupted) {}
    int written;
    int planned;
    bool interrupted;
};

} // namespace vrx
