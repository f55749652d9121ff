# Sourced by scripts/run and scripts/test: installs the Debian packages the build needs,
# and only those that are missing, so a machine that has them never touches the network.

vrx_missing_packages() {
    local pkg missing=()
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    echo "${missing[@]:-}"
}

vrx_ensure_packages() {
    local missing
    missing=$(vrx_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: $missing" >&2
        echo "Run as root, or install them with: sudo apt-get install $missing" >&2
        return 1
    fi
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
}

# Toolchain, Qt, the header-only libraries (CLI11 for the command lines, nlohmann/json for
# vrx630ctl's JSON, toml++ for configuration files) and the test libraries; a virtual X server
# (xvfb, with xauth for xvfb-run), on which a test measures the windows at 150 % scaling;
# pybind11 and Python's headers for the vrx630 Python module, pytest for its tests; libtelnet
# for the telnet layer of rfc2217:// ports, and ser2net, the server the tests of the network
# ports start on 127.0.0.1.
VRX_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libcli11-dev
    nlohmann-json3-dev libtomlplusplus-dev libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth pybind11-dev python3-dev python3-pytest libtelnet-dev ser2net)
# Building and checking the Debian package: dpkg-shlibdeps finds the packages it depends on,
# lintian checks the package as Debian would.
VRX_PACKAGING_PACKAGES=(dpkg-dev lintian)
# The Windows build and its tests under Wine (scripts/test-windows):
# mingw-w64 with POSIX threads, Wine, GoogleTest's sources to build for Windows, and the
# header-only CLI11, nlohmann/json and toml++, whose headers the cross build copies into its
# build tree; wixl builds the installer (an MSI) on Linux, and a virtual X server (xvfb, xauth)
# shows the installed program its screen under Wine, whose own fonts (fonts-wine) it draws its
# text with; xwininfo (x11-utils) sees its window come. The Debian notices of what the Windows
# programs link statically come from the packages of Qt, the MinGW-w64 runtime and GCC's.
# The Linux vrx630ctl and vrx630-sim need libtelnet's headers; ser2net serves a board to the
# Windows vrx630ctl.
VRX_WINDOWS_PACKAGES=(g++ cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest
    libcli11-dev nlohmann-json3-dev libtomlplusplus-dev wixl xvfb xauth x11-utils fonts-wine
    libqt6core6 mingw-w64-x86-64-dev gcc-mingw-w64-base pkg-config libtelnet-dev ser2net)
# Qt for Windows built from Debian's Qt source (scripts/build-qt-windows): dpkg-source to
# unpack it, Debian's keyring for it to check the uploader's signature, the mingw-w64
# compilers, CMake, Ninja and Perl for Qt's build, and the host Qt with its tools (moc, rcc,
# uic), which the cross build runs.
VRX_QT_WINDOWS_PACKAGES=(dpkg-dev debian-keyring gcc-mingw-w64-x86-64-posix
    g++-mingw-w64-x86-64-posix cmake ninja-build perl qt6-base-dev qt6-base-dev-tools)
# libtelnet for Windows built from Debian's source (scripts/build-libtelnet-windows): Debian's
# libtelnet-dev names the version, dpkg-source and the keyring unpack and check its source.
VRX_LIBTELNET_WINDOWS_PACKAGES=(dpkg-dev debian-keyring gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64 libtelnet-dev)
