#!/usr/bin/env bash
# Checks what reaches a user's machine.
#   check_package.sh install BUILD_DIR PROGRAM...  installs into a temporary DESTDIR and compares
#                                                  the tree with the expected files
#   check_package.sh deb BUILD_DIR PROGRAM...      builds the Debian package with cpack and
#                                                  checks its files and its Depends field
# PROGRAM... are the programs the build installs. CMAKE and CPACK name the tools.
set -euo pipefail
mode=$1
build=$2
shift 2
programs=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected_files() {
    local program
    for program in "${programs[@]}"; do
        echo "usr/bin/$program"
        echo "usr/share/man/man1/$program.1"
    done
    echo usr/share/applications/vrx630-eval.desktop
    echo usr/share/icons/hicolor/scalable/apps/vrx630-eval.svg
    echo usr/share/icons/hicolor/48x48/apps/vrx630-eval.png
    echo usr/share/icons/hicolor/128x128/apps/vrx630-eval.png
}

# Prints the differences and fails when the file list on stdin is not the expected one.
compare_files() {
    if ! diff -u <(expected_files | sort) <(sort) >"$work/diff"; then
        echo "files differ from the expected ones (-expected +actual):"
        cat "$work/diff"
        return 1
    fi
}

case $mode in
install)
    root=$work/root
    DESTDIR=$root "$CMAKE" --install "$build" --prefix /usr >/dev/null
    (cd "$root" && find . ! -type d | sed 's|^\./||') | compare_files
    for program in "${programs[@]}"; do
        [ -x "$root/usr/bin/$program" ] || { echo "usr/bin/$program is not executable"; exit 1; }
    done
    "$root/usr/bin/vrx630-sim" --help | grep -q '^Usage: vrx630-sim' ||
        { echo "the installed vrx630-sim does not run"; exit 1; }
    desktop=$root/usr/share/applications/vrx630-eval.desktop
    for line in Exec=vrx630-eval Icon=vrx630-eval; do
        grep -qx "$line" "$desktop" || { echo "desktop entry lacks $line"; exit 1; }
    done
    ;;
deb)
    "$CPACK" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
        { cat "$work/cpack.log"; exit 1; }
    debs=("$work"/vrx630-eval_*.deb)
    [ -f "${debs[0]}" ] || { echo "no vrx630-eval_*.deb in the cpack output"; exit 1; }
    # dpkg-deb -c prints mode, owner, size, date, time and ./path per entry.
    dpkg-deb -c "${debs[0]}" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | compare_files
    depends=$(dpkg-deb -f "${debs[0]}" Depends)
    names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
    for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
        grep -qx "$package" <<<"$names" || { echo "Depends lacks $package: $depends"; exit 1; }
    done
    ;;
*)
    echo "unknown mode '$mode'" >&2
    exit 2
    ;;
esac
