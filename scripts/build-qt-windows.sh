#!/usr/bin/env bash
# Builds Qt 6 for 64-bit Windows (MinGW-w64) from Debian's own qtbase source, once per machine, into a
# cache outside the repository. Debian ships no Qt for Windows, but its source cross-builds with the host's
# Qt tools and the third-party code bundled in the source.
#   scripts/build-qt-windows.sh [--check] [--jobs N]
# Prints the installed prefix on its last line (use it as CMAKE_PREFIX_PATH). --check only says whether a
# build is cached (exit 0) or not (exit 1). The cache is $KOLVANE_CACHE, else ~/.cache/kolvane.
# A build takes 15 to 40 minutes of wall time on two cores and about 1 GB of disk while it runs.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

qt_version=6.4.2
debian_version=6.4.2+dfsg-10
cache=${KOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kolvane}
prefix=$cache/qt-$qt_version-mingw64
jobs=2
check_only=0
while [[ $# -gt 0 ]]; do
    case $1 in
        --check) check_only=1 ;;
        --jobs) jobs=$2; shift ;;
        *) echo "usage: $0 [--check] [--jobs N]" >&2; exit 2 ;;
    esac
    shift
done

# The stamp is written last, so an interrupted build is never taken for a finished one.
stamp=$prefix/kolvane-build.txt
if [[ -f $stamp ]]; then
    cat "$stamp" >&2
    echo "$prefix"
    exit 0
fi
[[ $check_only -eq 1 ]] && { echo "no Qt for Windows in $prefix" >&2; exit 1; }

# The host Qt must be the very version being cross-built: its moc, rcc and uic generate the code.
"$repo/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
    qt6-base-dev-tools dpkg-dev ninja-build perl xz-utils
host=$(dpkg-query -W -f='${Version}' qt6-base-dev)
if [[ $host != "$debian_version" ]]; then
    echo "the host Qt is $host; this build needs $debian_version" >&2
    exit 1
fi

started=$(date +%s)
src=$cache/src/qt6-base-$qt_version+dfsg
if [[ ! -f $src/CMakeLists.txt ]]; then
    # A private apt configuration, so that the machine's own sources stay as they are.
    apt=$cache/apt
    mkdir -p "$apt/sources" "$apt/lists/partial" "$cache/src"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${KOLVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian} bookworm main" \
        >"$apt/sources/debian-src.list"
    opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources" -o "Dir::State::Lists=$apt/lists")
    apt-get "${opts[@]}" update
    (cd "$cache/src" && apt-get "${opts[@]}" source "qt6-base=$debian_version")
fi

# With neither OpenGL nor Direct2D, Qt 6.4.2's Windows plugin reaches for two things that are not built.
if ! grep -q "endif // opengl" "$src/src/plugins/platforms/windows/qwindowswindow.cpp"; then
    patch -d "$src" -p1 --forward <<'EOF'
--- a/src/plugins/platforms/windows/qwindowsintegration.cpp
+++ b/src/plugins/platforms/windows/qwindowsintegration.cpp
@@ -13,7 +13,7 @@
 #include "qwindowstheme.h"
 #include "qwindowsservices.h"
 #include <QtGui/private/qtgui-config_p.h>
-#if QT_CONFIG(directwrite3)
+#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)
 #include <QtGui/private/qwindowsdirectwritefontdatabase_p.h>
 #endif
 #ifndef QT_NO_FREETYPE
@@ -503,7 +503,7 @@
 QPlatformFontDatabase *QWindowsIntegration::fontDatabase() const
 {
     if (!d->m_fontDatabase) {
-#if QT_CONFIG(directwrite3)
+#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)
         if (d->m_options & QWindowsIntegration::FontDatabaseDirectWrite)
             d->m_fontDatabase = new QWindowsDirectWriteFontDatabase;
         else
--- a/src/plugins/platforms/windows/qwindowswindow.cpp
+++ b/src/plugins/platforms/windows/qwindowswindow.cpp
@@ -2293,12 +2293,16 @@
 
 static inline bool isSoftwareGl()
 {
-#if QT_CONFIG(dynamicgl)
+#if QT_CONFIG(opengl)
+#  if QT_CONFIG(dynamicgl)
     return QOpenGLStaticContext::opengl32.moduleIsNotOpengl32()
         && QOpenGLContext::openGLModuleType() == QOpenGLContext::LibGL;
+#  else
+    return false;
+#  endif // dynamicgl
 #else
     return false;
-#endif // dynamicgl
+#endif // opengl
 }
 
 bool QWindowsWindow::handleWmPaint(HWND hwnd, UINT message,
EOF
fi

# Only what the program uses; the bundled copies of the libraries, for Debian has no MinGW builds of them.
build=$cache/qt-$qt_version-mingw64-build
features=(
    opengl=OFF direct2d=OFF vulkan=OFF tabletevent=OFF
    sql=OFF dbus=OFF printsupport=OFF concurrent=OFF xml=OFF
    openssl=OFF zstd=OFF brotli=OFF icu=OFF glib=OFF jpeg=OFF gif=OFF
    system_zlib=OFF system_png=OFF png=ON system_freetype=OFF freetype=ON system_harfbuzz=OFF
    harfbuzz=ON system_pcre2=OFF system_doubleconversion=OFF
)
defines=()
for f in "${features[@]}"; do defines+=("-DFEATURE_$f"); done
cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=ON \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DINPUT_opengl=no \
    "${defines[@]}"
cmake --build "$build" --parallel "$jobs"
cmake --install "$build"

# The MinGW runtime the Qt libraries link against, so that the prefix alone runs under Wine or Windows.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")" "$prefix/bin/"
done

minutes=$(( ($(date +%s) - started + 59) / 60 ))
printf 'Qt %s for x86_64-w64-mingw32 from Debian source %s, built %s in %d min (%s jobs)\n' \
    "$qt_version" "$debian_version" "$(date -u +%F)" "$minutes" "$jobs" >"$stamp"
rm -rf "$build"
cat "$stamp" >&2
echo "$prefix"
