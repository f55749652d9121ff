// On Windows the version is the one in the program file's version resource, as Explorer shows
// it; the number compiled in is only the fallback for a file without one.
#include "app/version.h"

#include <QCoreApplication>
#include <QDir>

#include <vector>
#include <windows.h>

namespace vrx {

QString ProgramFileVersion() {
    const std::wstring path =
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return QStringLiteral(VRX_FILE_VERSION);
    }
    return QStringLiteral("%1.%2.%3.%4")
        .arg(HIWORD(fixed->dwFileVersionMS))
        .arg(LOWORD(fixed->dwFileVersionMS))
        .arg(HIWORD(fixed->dwFileVersionLS))
        .arg(LOWORD(fixed->dwFileVersionLS));
}

} // namespace vrx
