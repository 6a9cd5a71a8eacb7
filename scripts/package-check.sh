#!/usr/bin/env bash
# Builds the Debian package, checks it (lintian, desktop-file-validate, appstreamcli), installs it
# with apt as a user would, runs both installed programs from the PATH, and removes it again.
# Needs root or sudo (CI: root on a fresh Debian 12). The package is removed however it ends.
#   scripts/package-check.sh [BUILD-FOLDER]      (default build-package/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-package}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
apt() { timeout 900 "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
step() { echo "== $*"; }
fail() { echo "package-check: $*" >&2; exit 1; }

# A settings file beside the installed program would be every user's: the check must not find one,
# nor leave one behind.
strayIni=/usr/bin/kolvane.ini
[[ ! -e $strayIni ]] || fail "$strayIni is there before the package is installed; remove it first"
work="$(mktemp -d)"
removePackage() {
    if dpkg-query -W -f='${Status}' kolvane 2>/dev/null | grep -q "ok installed"; then
        apt purge -y kolvane >/dev/null || true
    fi
    "${sudo[@]}" rm -f "$strayIni"
    rm -rf "$work"
}
trap removePackage EXIT

step "Tools"
timeout 1800 "$root/scripts/install-deps.sh" lintian desktop-file-utils appstream man-db

step "Build and package"
deb="$("$root/scripts/package.sh" "$build")"
dpkg-deb --field "$deb" Package Version Depends Recommends

step "Package checks"
# Errors fail the check; warnings are shown.
timeout 600 lintian --fail-on error --tag-display-limit 0 "$deb"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
desktop-file-validate "$work/deb/usr/share/applications/org.kolvane.Kolvane.desktop"
timeout 120 appstreamcli validate --no-net "$work/deb/usr/share/metainfo/org.kolvane.Kolvane.metainfo.xml"
for page in kolvane kolvane-convert; do
    # A manual page that renders with no complaint from man.
    complaints="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$work/deb/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    [[ -z $complaints ]] || fail "man $page: $complaints"
done

step "Install"
apt install -y "$(realpath "$deb")"
[[ $(command -v kolvane-convert) == /usr/bin/kolvane-convert ]] || fail "kolvane-convert is not on the PATH"
[[ $(command -v kolvane) == /usr/bin/kolvane ]] || fail "kolvane is not on the PATH"
# Images made for small containers leave manual pages out of every package; elsewhere man finds it.
if [[ -e /usr/share/man/man1/kolvane-convert.1.gz ]]; then
    [[ $(man -w kolvane-convert) == /usr/share/man/man1/kolvane-convert.1.gz ]] || fail "man kolvane-convert finds no page"
fi

step "kolvane-convert from the PATH"
version="$(timeout 30 kolvane-convert --version)"
[[ $version == "kolvane-convert $(dpkg-deb --field "$deb" Version)" ]] || fail "--version says: $version"
mkdir "$work/out" "$work/expected"
timeout 120 kolvane-convert --monthly /usr/share/kolvane/Data --output "$work/out" \
    --group 01 --bucket 01 --lat 35:30:00 --all
# The installed sample station converts exactly as the one in the source tree.
timeout 120 "$build/kolvane-convert" --monthly "$root/data/Data" --output "$work/expected" \
    --group 01 --bucket 01 --lat 35:30:00 --all >/dev/null
[[ -s $work/out/Y2024_0101.csv ]] || fail "no yearly file from the installed sample station"
diff -r "$work/expected" "$work/out" || fail "the installed sample station converts differently"

step "kolvane as the menu starts it"
entry=/usr/share/applications/org.kolvane.Kolvane.desktop
command="$(sed -n 's/^Exec=//p' "$entry" | sed 's/ %[fFuUick]//g')"
[[ -n $command ]] || fail "no Exec line in $entry"
mkdir -p "$work/home" "$work/config" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
settings="$work/config/kolvane/kolvane.ini"
startKolvane() {
    # --quit-after-start presses 終了 once the window is up: the way out that saves the settings.
    timeout 60 env QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
        XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" $command --quit-after-start || fail "kolvane did not start and end by itself"
}
startKolvane
[[ -f $settings ]] || fail "kolvane saved no settings in the user's configuration folder"
grep -q $'^Load=/usr/share/kolvane/Data/\r$' "$settings" || fail "start folder not the installed sample: $(cat "$settings")"
[[ ! -e /usr/bin/kolvane.ini ]] || fail "kolvane wrote its settings beside the installed program"
# A prefecture chosen at the last exit comes back, and its locality comes from the installed table.
sed -i 's/^Pref=0\r$/Pref=13\r/' "$settings"
startKolvane
grep -q $'^Pref=13\r$' "$settings" || fail "the chosen prefecture was not kept: $(cat "$settings")"
code="$(sed -n 's/^Locale=\(.*\)\r$/\1/p' "$settings")"
grep -q "^13,$code," /usr/share/kolvane/locale.dat || fail "locality $code is not one of the installed table's"

step "Remove"
apt purge -y kolvane
[[ ! -e /usr/bin/kolvane && ! -e /usr/share/kolvane ]] || fail "files left after removing the package"
echo "package-check: all checks passed"
