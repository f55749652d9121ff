// AtomicFile on Windows: CreateFileW with CREATE_NEW, FlushFileBuffers, and MoveFileExW, which
// replaces the target and returns only once the move is on the disk.
#include "chip/atomic_file.h"

#include <windows.h>

#include <algorithm>

namespace vrx {

namespace {

constexpr int kAttempts = 100;

HANDLE HandleOf(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The system's text for an error code, in UTF-8, without its closing full stop and line break.
std::string SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        reason.resize(size_t(std::max(size, 0)));
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), reason.data(), size, nullptr, nullptr);
    }
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

} // namespace

std::filesystem::path AtomicFile::LinkedFile(const std::filesystem::path& path) {
    // The system follows the links when it opens the file; the handle knows where it came out.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return path; // a new file, or one the write will fail on with the reason
    }
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), DWORD(name.size()), 0);
    if (length >= name.size()) {
        name.resize(length);
        length = GetFinalPathNameByHandleW(file, name.data(), DWORD(name.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= name.size()) {
        return path;
    }
    name.resize(length);
    return name;
}

AtomicFile::AtomicFile(const std::string& path)
    : target_(LinkedFile(std::u8string(path.begin(), path.end()))) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp_ = TemporaryPath(GetCurrentProcessId());
        // CREATE_NEW refuses any name that exists, a symbolic link included.
        const HANDLE file = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        handle_ = reinterpret_cast<intptr_t>(file);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (HandleOf(handle_) == INVALID_HANDLE_VALUE) {
        temp_.clear(); // not ours to remove
        Fail();
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Commit(std::string_view data) {
    const HANDLE file = HandleOf(handle_);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    while (!data.empty()) {
        const DWORD chunk = DWORD(std::min<size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.data(), chunk, &written, nullptr)) {
            return Fail();
        }
        data.remove_prefix(written);
    }
    if (!FlushFileBuffers(file)) {
        return Fail();
    }
    handle_ = -1;
    if (!CloseHandle(file) || !MoveFileExW(temp_.c_str(), target_.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Fail();
    }
    temp_.clear();
    return true;
}

bool AtomicFile::Fail() {
    error_ = SystemReason(GetLastError());
    Discard();
    return false;
}

void AtomicFile::Discard() {
    if (HandleOf(handle_) != INVALID_HANDLE_VALUE) {
        CloseHandle(HandleOf(handle_));
        handle_ = -1;
    }
    if (!temp_.empty()) {
        DeleteFileW(temp_.c_str());
        temp_.clear();
    }
}

} // namespace vrx
