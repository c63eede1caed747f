#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, installs it on this
# machine, uses it as a new user would (tessera-cli from another folder on an
# installed example, a CIF conversion, the bond report in the user's folder),
# validates the desktop entry and the AppStream metadata, runs lintian, removes
# the package and checks that nothing of it is left behind.
#
#   scripts/package_check.sh [BUILD_DIR]      (default: build/package, configured if missing)
#
# Needs root (dpkg, useradd). Exit 77 (skipped) when not root.
set -euo pipefail

if [[ $(id -u) -ne 0 ]]; then
  echo "package_check: skipped (needs root to install the package)"
  exit 77
fi

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$source_dir/build/package}")
app_id=io.tessera.Tessera
step() { echo "== $*"; }
fail() { echo "package_check: FAILED: $*" >&2; exit 1; }

if [[ ! -f "$build/CPackConfig.cmake" ]]; then
  step "configuring $build"
  cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSERA_TESTS=OFF \
    -DTESSERA_BENCH=OFF >/dev/null
fi
step "building the package"
targets=(tessera-cli tessera_packaging_files)
grep -q '^TESSERA_GUI:BOOL=OFF' "$build/CMakeCache.txt" || targets+=(tessera)
# TESSERA_PACKAGE_BUILT=1: the caller has built them (a build is running elsewhere).
[[ -n "${TESSERA_PACKAGE_BUILT:-}" ]] || cmake --build "$build" --target "${targets[@]}" >/dev/null
out="$build/deb"
rm -rf "$out" && mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/tessera_*.deb)
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends | sed 's/^/   /'
dpkg-deb -f "$deb" Depends | grep -q -- '-dev' && fail "the package depends on a -dev package"

work=$(mktemp -d /tmp/tessera-check.XXXXXX)
chmod 755 "$work"
user=tessera-check$$
cleanup() {
  userdel -r "$user" >/dev/null 2>&1 || true
  rm -rf "$work"
  if dpkg-query -W -f='${Status}' tessera 2>/dev/null | grep -q 'install ok'; then
    apt-get purge -y -qq tessera >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT

# What the package ships, to check after removal.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' > "$work/files"

step "installing"
if dpkg-query -W -f='${Status}' tessera 2>/dev/null | grep -q 'install ok'; then
  apt-get purge -y -qq tessera >/dev/null
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null 2>"$work/apt.err" ||
  { cat "$work/apt.err" >&2; fail "apt-get install"; }
dpkg-query -W -f='   ${Package} ${Version} ${Status}\n' tessera

step "as a new user, from another folder"
useradd --create-home --home-dir "$work/home" --shell /bin/bash "$user"
mkdir -p "$work/home/documents"
chown -R "$user" "$work/home"
as_user() { runuser -u "$user" -- env HOME="$work/home" bash -c "cd ~/documents && $1"; }
as_user 'command -v tessera tessera-cli'
as_user 'tessera-cli show /usr/share/tessera/examples/corundum.tsr' > "$work/show.txt" ||
  fail "tessera-cli show"
head -4 "$work/show.txt" | sed 's/^/   /'
grep -q 'R_-3_c' "$work/show.txt" || fail "show printed no space group"
as_user 'tessera-cli convert /usr/share/tessera/examples/quartz.cif quartz.ins' || fail "convert"
as_user 'head -3 quartz.ins' | sed 's/^/   /'
as_user 'tessera-cli bonds /usr/share/tessera/examples/corundum.tsr && ls ~/.local/share/tessera' ||
  fail "bonds"
[[ -s "$work/home/.local/share/tessera/BONDS.OUT" ]] || fail "BONDS.OUT not in the user's data folder"
[[ ! -e /usr/share/tessera/BONDS.OUT && ! -e /usr/bin/BONDS.OUT ]] || fail "BONDS.OUT written into the installation"
man -w tessera tessera-cli | sed 's/^/   /'

step "desktop-file-validate, appstreamcli validate, MIME type"
desktop-file-validate "/usr/share/applications/$app_id.desktop" && echo "   desktop entry: valid"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" | sed 's/^/   /'
xmllint --noout "/usr/share/mime/packages/$app_id.xml"
grep -q 'application/x-tessera-document:\*\.tsr' /usr/share/mime/globs2 || fail ".tsr not in the MIME database"
echo "   .tsr -> application/x-tessera-document"

step "lintian"
cp "$deb" "$work/" && chmod 644 "$work/$(basename "$deb")"
runuser -u "$user" -- lintian --tag-display-limit 0 "$work/$(basename "$deb")" > "$work/lintian.txt" 2>&1 || true
if [[ -s "$work/lintian.txt" ]]; then sed 's/^/   /' "$work/lintian.txt"; else echo "   no tags"; fi
lintian_errors=$(grep -c '^E:' "$work/lintian.txt" || true)

step "removing"
apt-get purge -y -qq tessera >/dev/null
left=0
while read -r f; do
  if [[ -e "$f" ]]; then echo "   left behind: $f"; left=1; fi
done < "$work/files"
[[ ! -e /usr/share/tessera ]] || { echo "   left behind: /usr/share/tessera"; left=1; }
grep -q 'x-tessera-document' /usr/share/mime/globs2 && { echo "   left behind: MIME type"; left=1; }
[[ $left -eq 0 ]] || fail "files left behind"
echo "   nothing left behind"
[[ $lintian_errors -eq 0 ]] || fail "lintian reported $lintian_errors errors"
echo "package_check: OK"
