#!/usr/bin/env bash
# Checks what reaches a user's machine.
#   check_package.sh install BUILD_DIR PROGRAM...  installs into a temporary DESTDIR and compares
#                                                  the tree with the expected files
#   check_package.sh deb BUILD_DIR PROGRAM...      builds the Debian package with cpack, checks
#                                                  its files, fields and lintian's verdict, then
#                                                  installs it into a dpkg root of its own,
#                                                  starts the program as the installing user
#                                                  once, removes the package and finds nothing
#                                                  left
# PROGRAM... are the programs the build installs. CMAKE and CPACK name the tools; PYTHON_MODULE
# the Python module's file, when the build has one, PYTHON the Python it is built for and
# PYTHON_PRELOAD the runtimes a sanitized module needs loaded first.
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
        echo "usr/share/man/man1/$program.1.gz"
    done
    echo usr/share/doc/vrx630-eval/copyright
    echo usr/share/doc/vrx630-eval/changelog.gz
    echo usr/share/doc/vrx630-eval/examples/ser2net.yaml
    echo usr/share/doc/vrx630-eval/examples/bench.toml
    echo usr/share/applications/vrx630-eval.desktop
    echo usr/share/icons/hicolor/scalable/apps/vrx630-eval.svg
    echo usr/share/icons/hicolor/48x48/apps/vrx630-eval.png
    echo usr/share/icons/hicolor/128x128/apps/vrx630-eval.png
    if [ -n "${PYTHON_MODULE:-}" ]; then
        echo "usr/lib/python3/dist-packages/$PYTHON_MODULE"
        echo usr/lib/python3/dist-packages/vrx630.pyi
    fi
}

# The installed Python module imports from its folder and talks to a simulated board.
check_python_module() {
    local root=$1
    [ -n "${PYTHON_MODULE:-}" ] || return 0
    local python=("$PYTHON")
    if [ -n "${PYTHON_PRELOAD:-}" ]; then # a sanitized build
        python=(env "LD_PRELOAD=$PYTHON_PRELOAD" ASAN_OPTIONS=detect_leaks=0 "$PYTHON")
    fi
    PYTHONPATH=$root/usr/lib/python3/dist-packages PYTHONDONTWRITEBYTECODE=1 "${python[@]}" -c '
import vrx630, sys
assert vrx630.__file__.startswith(sys.argv[1]), vrx630.__file__
with vrx630.Board.simulated("52x") as board:
    assert board.identification == "VRX630/VRX52x evaluation board"
' "$root/usr/lib/python3/dist-packages" || { echo "the installed Python module does not work"; return 1; }
}

# Prints the differences and fails when the file list on stdin is not the expected one.
compare_files() {
    if ! diff -u <(expected_files | sort) <(sort) >"$work/diff"; then
        echo "files differ from the expected ones (-expected +actual):"
        cat "$work/diff"
        return 1
    fi
}

# Installs the package into a dpkg root of its own, starts the program there once (its folder is
# writable, as /usr/bin is for root) and ends it as a session would, removes the package, and
# fails when anything is left under the install prefix.
check_installed_program() {
    local deb=$1 root=$work/dpkg home=$work/home pid
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers" \
        "$home"
    touch "$root/var/lib/dpkg/status"
    local dpkg=(dpkg "--root=$root" --log=/dev/null --force-not-root --force-script-chrootless)
    "${dpkg[@]}" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log"; return 1; }
    local config="$home/.config/VRX630 Evaluation Kit"
    HOME=$home XDG_CONFIG_HOME='' QT_QPA_PLATFORM=offscreen "$root/usr/bin/vrx630-eval" \
        2>"$work/program.log" &
    pid=$!
    # The program makes its settings folder while it starts, before it could write anything.
    for _ in $(seq 100); do
        [ -d "$config" ] && break
        sleep 0.1
    done
    kill -TERM "$pid"
    wait "$pid" || { echo "the installed program did not end cleanly"; cat "$work/program.log"; return 1; }
    [ -f "$config/Eval630.ini" ] || { echo "no settings in $config"; return 1; }
    check_python_module "$root"
    "${dpkg[@]}" -r vrx630-eval >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; return 1; }
    if [ -e "$root/usr" ]; then
        echo "left behind after removal:"
        find "$root/usr"
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
    check_python_module "$root"
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
    for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
        grep -qx "$package" <<<"$names" || { echo "Depends lacks $package: $depends"; exit 1; }
    done
    if dpkg-deb -f "${debs[0]}" Maintainer | grep -q 'example\.org'; then
        echo "the maintainer line is a placeholder"
        exit 1
    fi
    if command -v lintian >/dev/null; then
        lintian "${debs[0]}" >"$work/lintian" 2>&1 || true
        if grep '^E:' "$work/lintian"; then
            echo "lintian finds errors"
            exit 1
        fi
    fi
    check_installed_program "${debs[0]}"
    ;;
*)
    echo "unknown mode '$mode'" >&2
    exit 2
    ;;
esac
