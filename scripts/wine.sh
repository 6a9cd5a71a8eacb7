# Running Windows programs under Wine, for the scripts that test the Windows build (sourced, not run).
# One throw-away Wine prefix per script run, quiet, with the Qt for Windows libraries on the PATH.

KOLVANE_WINE=${KOLVANE_WINE:-/usr/lib/wine/wine64}

# The Windows name of a Linux path (Wine's drive Z: is the root).
wine_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Makes the prefix; `wine_start DIR...` puts the DIRs (Linux paths) on the Windows PATH of every program.
wine_start() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kolvane-wine.XXXXXX")
    export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local dirs=() d
    for d in "$@"; do dirs+=("$(wine_path "$d")"); done
    WINEPATH=$(IFS=';'; echo "${dirs[*]}")
    export WINEPATH
    "$KOLVANE_WINE" wineboot --init >/dev/null 2>&1 || true
    trap wine_stop EXIT
}

wine_stop() {
    [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] || return 0
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}

# Runs a Windows program with its arguments; `set NAME=value` pairs before "--" go into its
# environment through cmd, since Wine does not pass variables named QT_* on to it.
#   wine_run [NAME=value ...] -- program.exe [args...]
wine_run() {
    local sets=""
    while [[ $# -gt 0 && $1 != -- ]]; do sets+="set $1&& "; shift; done
    shift
    local program
    program=$(wine_path "$1")
    shift
    "$KOLVANE_WINE" cmd /c "$sets$program $*"
}
