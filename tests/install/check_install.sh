#!/usr/bin/env bash
# check_install.sh BUILD_DIR VERSION
#
# Installs the built game into a temporary prefix and checks it as a desktop sees it: every file
# in its place and nothing else, the launcher entry and metadata accepted by the desktop's own
# validators, the licence's full text and the package's copyright notice, the program answering
# its command line without a display and, installed, making the player's data directory. Then
# builds the Debian package and checks what it holds.
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
version=$2
id=io.github.cardovia.Cardovia
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" > "$work/install.log"
expected=(bin/cardovia share/cardovia/{card,riffle,win,Uhho}.wav share/cardovia/help.txt
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg" share/licenses/cardovia/COPYING
  share/doc/cardovia/copyright)
for n in 16 22 24 32 48 64 128 256 512; do expected+=("share/icons/hicolor/${n}x${n}/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected list (< expected, > installed)"
[ -x "$prefix/bin/cardovia" ] || fail "bin/cardovia is not executable"

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -qx "Exec=cardovia" "$desktop" && grep -qx "Icon=$id" "$desktop" || fail "the launcher entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the launcher entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metadata"

# The licence installed is the repository's, which is the GPL version 3 word for word; the
# copyright notice names the same licence as the metadata and points to a text that is there.
license=$prefix/share/licenses/cardovia/COPYING
cmp -s "$source_dir/COPYING" "$license" || fail "the installed COPYING differs from the repository's"
if [ -f /usr/share/common-licenses/GPL-3 ]; then
  cmp -s "$license" /usr/share/common-licenses/GPL-3 || fail "COPYING is not the GPL-3 text"
else
  grep -q "Version 3, 29 June 2007" "$license" || fail "COPYING is not the GPL version 3"
fi
copyright=$prefix/share/doc/cardovia/copyright
grep -qx "License: GPL-3+" "$copyright" && grep -q "either version 3 of the License, or" "$copyright" ||
  fail "the copyright notice does not give GPL-3 or later"
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
  fail "the metadata gives another licence than the copyright notice"
grep -q " share/licenses/cardovia/COPYING;" "$copyright" || fail "the copyright notice points elsewhere"

bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/cardovia" "$@"; }
[ "$(bare --version)" = "cardovia $version" ] || fail "--version"
status=0
bare --no-such-option > /dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "an unknown option exited with $status, not 2"

# Installed, the program keeps Name.dat in the player's data directory, not beside itself, and
# the lock that keeps a second copy away from it goes there too.
home=$work/home
mkdir -p "$home" && mkdir -m 700 "$work/runtime"
status=0
HOME=$home XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
  timeout 5 "$prefix/bin/cardovia" > "$work/run.log" 2>&1 &
game=$!
sleep 3
[ -e "$home/.local/share/cardovia/Cardovia.lock" ] && [ ! -e "$prefix/bin/Cardovia.lock" ] ||
  fail "where the lock goes"
wait "$game" || status=$?
[ "$status" = 124 ] || { cat "$work/run.log"; fail "the installed game ended by itself ($status)"; }
[ -d "$home/.local/share/cardovia" ] && [ ! -e "$prefix/bin/Name.dat" ] || fail "where Name.dat goes"

(cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/cardovia_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6multimedia6 qt6-qpa-plugins; do
  grep -q "\b$needed\b" <<< "$depends" || fail "the package does not depend on $needed"
done
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for f in "${expected[@]}"; do grep -qx "./usr/$f" "$work/contents" || fail "the package lacks /usr/$f"; done
! grep -v '^\./$' "$work/contents" | grep -qv '^\./usr/' || fail "the package installs outside /usr"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install checks passed"
