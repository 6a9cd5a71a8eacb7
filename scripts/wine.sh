# Running Windows programs under Wine, for the scripts that test the Windows build (sourced, not run).
# One throw-away Wine prefix per script run, quiet, with the Qt for Windows libraries on the PATH.

KOLVANE_WINE=${KOLVANE_WINE:-/usr/lib/wine/wine64}

# The Windows name of a Linux path (Wine's drive Z: is the root).
wine_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Whether the log LOG holds Wine's report of an unhandled exception: a program that crashes in a worker
# thread can still end with status 0 under Wine.
wine_crashed() {
    grep -q "^wine: Unhandled\|^Unhandled exception" "$1"
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

# Runs a Windows program (a Linux path, or a Windows one such as C:\...) with its arguments and waits
# for it, a window program too, at most KOLVANE_WINE_TIMEOUT seconds (600); its exit status is the
# program's (124 when it did not end in time). `NAME=value` pairs before "--" go
# into its environment, since Wine does not pass variables named QT_* on. Both go through a batch file:
# on cmd's own command line Wine escapes the quotes a path with spaces needs.
#   wine_run [NAME=value ...] -- program.exe [args...]
wine_run() {
    local lines=$'@echo off\r\n' program word
    while [[ $# -gt 0 && $1 != -- ]]; do lines+="set $1"$'\r\n'; shift; done
    shift
    program=$1
    [[ $program =~ ^[A-Za-z]:\\ ]] || program=$(wine_path "$program")
    shift
    lines+="\"$program\""
    for word in "$@"; do lines+=" \"$word\""; done
    lines+=$'\r\nexit /b %ERRORLEVEL%\r\n'
    # One file per run: cmd reads a batch file line by line while it runs.
    local batch
    batch=$(mktemp --suffix=.bat "$WINEPREFIX/drive_c/run-XXXXXX")
    printf '%s' "$lines" >"$batch"
    timeout "${KOLVANE_WINE_TIMEOUT:-600}" "$KOLVANE_WINE" cmd /c "C:\\$(basename "$batch")"
}
