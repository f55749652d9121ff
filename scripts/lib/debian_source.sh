# Sourced by the scripts that build a library for Windows from Debian's own source.
#
# vrx_debian_source PACKAGE VERSION WORK DEST: unpacks the source package PACKAGE=VERSION into
# DEST, fetched through a private apt state in WORK (the machine's own sources, as deb-src
# entries, with their own lists and cache, so the system's lists stay as they are). dpkg-source
# checks the uploader's signature of the .dsc against Debian's keyring and the tarballs against
# the checksums it lists, and refuses to unpack on any doubt. WORK's apt state and download
# are removed afterwards. Status 1 when the source cannot be had or does not check out.
vrx_debian_source() {
    local package=$1 version=$2 work=$3 dest=$4
    local apt=$work/apt list
    rm -rf "$apt" "$work/download" "$dest"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] || continue
        sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" \
            >"$apt/sources.list.d/$(basename "$list")"
    done
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -f "$list" ] || continue
        sed -E 's/^Types:.*/Types: deb-src/I' "$list" >"$apt/sources.list.d/$(basename "$list")"
    done
    local apt_options=(-o "Dir::Etc::sourcelist=-" -o "Dir::Etc::sourceparts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
    apt-get "${apt_options[@]}" update -qq || return 1
    mkdir -p "$work/download"
    # apt downloads as its own user where there is one; the files are checked against the
    # signed Sources index on arrival.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$work/download"
    fi
    (cd "$work/download" && apt-get "${apt_options[@]}" source -qq --download-only \
        "$package=$version") || return 1
    dpkg-source --require-valid-signature --require-strong-checksums \
        -x "$work/download/${package}_"*.dsc "$dest" || return 1
    rm -rf "$work/download" "$apt"
}
