# Cross-building the core for Windows with MinGW-w64 (sourced, not run): what it needs installed, and
# one configuration of a build folder, so that the zip and the tests under Wine share their objects.
#   mingw_configure ROOT BUILD-FOLDER [CMAKE-ARGS...]
mingw_configure() {
    local root=$1 build=$2
    shift 2
    timeout 1800 "$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix wine64 zip >&2
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    timeout 600 cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKOLVANE_BUILD_UI=OFF -DKOLVANE_BUILD_BENCH=OFF "${launcher[@]}" "$@" >/dev/null
}
