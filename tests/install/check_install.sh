#!/usr/bin/env bash
# check_install.sh BUILD_DIR VERSION
#
# Installs the built game into a temporary prefix and checks it as a desktop sees it: every file
# in its standard place and nothing else, the icons at their stated sizes, the launcher entry and
# the metadata accepted by the desktop's own validators, the program answering --version and
# --help without a display, and, installed, finding its data and making the player's data
# directory. Then builds the Debian package and lists it.
set -euo pipefail

build=$(cd "$1" && pwd)
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

echo "== installing into a temporary prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

icon_sizes=(16 22 24 32 48 64 128 256 512)
expected=(
  bin/cardovia
  share/cardovia/card.wav share/cardovia/riffle.wav share/cardovia/win.wav
  share/cardovia/Uhho.wav share/cardovia/help.txt
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
)
for n in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${n}x${n}/apps/$id.png"); done

echo "== every file in its place, and nothing else"
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected list (< expected, > installed)"
[ -x "$prefix/bin/cardovia" ] || fail "bin/cardovia is not executable"
for f in "${expected[@]}"; do
  [ -s "$prefix/$f" ] || fail "$f is missing or empty"
done

echo "== each icon at the size its folder names"
png_size() {  # width x height from the PNG header
  local bytes
  bytes=$(od -An -tu1 -j16 -N8 "$1" | tr -s ' ')
  read -r w1 w2 w3 w4 h1 h2 h3 h4 <<< "$bytes"
  echo "$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))x$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))"
}
for n in "${icon_sizes[@]}"; do
  f=$prefix/share/icons/hicolor/${n}x${n}/apps/$id.png
  [ -f "$f" ] || continue
  [ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$f is not a PNG"
  [ "$(png_size "$f")" = "${n}x${n}" ] || fail "$f is $(png_size "$f"), not ${n}x${n}"
done

echo "== the launcher entry, the metadata and the program agree"
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -qx "Exec=cardovia" "$desktop" || fail "the launcher does not start cardovia"
grep -qx "Icon=$id" "$desktop" || fail "the launcher's icon is not $id"
grep -q '^Categories=.*Game;.*CardGame;' "$desktop" || fail "the launcher is not in Game;CardGame"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"

echo "== the program answers its command line without a display"
run_bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/cardovia" "$@"; }
out=$(run_bare --version) || fail "--version exited with $?"
[ "$out" = "cardovia $version" ] || fail "--version printed '$out', not 'cardovia $version'"
out=$(run_bare --help) || fail "--help exited with $?"
[ "$(printf '%s\n' "$out" | wc -l)" = 1 ] && [ -n "$out" ] || fail "--help printed '$out'"
set +e
out=$(run_bare --no-such-option 2> "$work/err")
status=$?
set -e
[ "$status" = 2 ] || fail "an unknown option exited with $status, not 2"
[ -z "$out" ] || fail "an unknown option printed '$out' on standard output"
grep -q "Usage: cardovia" "$work/err" || fail "an unknown option gave no usage on standard error"

echo "== installed, the program makes the player's data directory"
home=$work/home
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
set +e
HOME=$home XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$work/runtime \
  QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/cardovia" > "$work/run.log" 2>&1
status=$?
set -e
[ "$status" = 124 ] || { cat "$work/run.log"; fail "the installed game ended by itself ($status)"; }
[ -d "$home/.local/share/cardovia" ] || fail "no ~/.local/share/cardovia after starting"
[ ! -e "$prefix/bin/Name.dat" ] || fail "Name.dat was written beside the program"

echo "== the desktop's validators"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the launcher entry"
else
  echo "SKIPPED: desktop-file-validate is not installed (Debian package desktop-file-utils)"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metadata"
else
  echo "SKIPPED: appstreamcli is not installed (Debian package appstream)"
fi

echo "== the Debian package"
if command -v dpkg-deb > /dev/null && command -v dpkg-shlibdeps > /dev/null && command -v file > /dev/null; then
  (cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" \
    > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
  deb=$(ls "$work"/package/cardovia_*.deb 2> /dev/null | head -n 1)
  if [ -n "$deb" ]; then
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for needed in libqt6widgets6 libqt6multimedia6 qt6-qpa-plugins; do
      grep -q "\b$needed\b" <<< "$depends" || fail "the package does not depend on $needed"
    done
    dpkg-deb -c "$deb" | awk '{print $6}' | tee "$work/contents"
    for f in "${expected[@]}"; do
      grep -qx "./usr/$f" "$work/contents" || fail "the package lacks /usr/$f"
    done
    if grep -v '^\./$' "$work/contents" | grep -qv '^\./usr/'; then
      fail "the package installs outside /usr"
    fi
  else
    fail "cpack made no cardovia_*.deb"
  fi
else
  echo "SKIPPED: dpkg-deb, dpkg-shlibdeps or file is not installed (Debian packages dpkg-dev, file)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install checks passed"
