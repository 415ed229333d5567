#!/bin/sh
# Builds the Debian package and checks it without installing it into this
# machine: its control data and files, kestaro-cli run from the extracted
# tree, its manual page against --help, and `kestaro` starting the window
# with a Wine prefix of the user's own. Needs the x86_64 Windows build.
# Also checks that `cmake --install` puts kestaro-cli and its page in place.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh cmake make g++ nlohmann-json3-dev dpkg-dev man-db groff-base file \
  bsdextrautils python3 mingw-w64 wine64 fonts-ipafont-gothic fonts-wine locales xvfb xauth \
  x11-utils procps >/dev/null
sh scripts/japanese-locale.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

preset cli-only >/dev/null
cmake --install build/cli-only --prefix "$work/installed" >/dev/null
for file in bin/kestaro-cli share/man/ja/man1/kestaro-cli.1; do
  [ -f "$work/installed/$file" ] || fail "cmake --install did not install $file"
done

# The package takes the 64-bit Windows programs from their own build.
[ -f build/x86_64/bin/kestaro.exe ] || preset x86_64 kestaro kestaro-cli >/dev/null
preset package >/dev/null
(cd build/package && cpack -G DEB >/dev/null)
deb=build/package/kestaro_1.0_amd64.deb
[ -f "$deb" ] || fail "no $deb"
info=$(dpkg-deb --info "$deb")
for field in "Package: kestaro" "Version: 1.0" "Architecture: amd64"; do
  echo "$info" | grep -q "^ $field\$" || fail "control lacks '$field'"
done
depends=$(echo "$info" | sed -n 's/^ Depends: //p')
for package in wine64 fonts-ipafont-gothic fonts-wine locales-all libc6; do
  echo "$depends" | tr ',' '\n' | grep -q "^ *$package\( \|\$\)" || fail "Depends lacks $package: $depends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in usr/bin/kestaro-cli usr/bin/kestaro usr/share/man/ja/man1/kestaro-cli.1 \
  usr/share/kestaro/kestaro.exe usr/share/kestaro/kestaro-cli.exe \
  usr/share/kestaro/kestarohelp.html usr/share/kestaro/sample-LOTO.DAT \
  usr/share/kestaro/wine-prefix.sh usr/share/kestaro/wine-run.sh; do
  echo "$contents" | grep -qx "\./$file" || fail "the package lacks /$file"
done
dpkg -x "$deb" "$work/root"
file "$work/root/usr/share/kestaro/kestaro.exe" | grep -q 'x86-64' || fail "kestaro.exe is not the 64-bit program"

# kestaro-cli from the extracted tree, and its page against its --help: every
# command, option and exit code the usage lists.
"$work/root/usr/bin/kestaro-cli" --help >"$work/help" || fail "kestaro-cli --help failed"
LANG=C.UTF-8 MANWIDTH=300 man -l "$work/root/usr/share/man/ja/man1/kestaro-cli.1" 2>"$work/man.err" |
  col -b >"$work/man" || fail "man -l failed: $(cat "$work/man.err")"
[ -s "$work/man.err" ] && fail "man -l warned: $(cat "$work/man.err")"
python3 - "$work/help" "$work/man" <<'EOF' || fail "the manual page and --help differ"
import re, sys
usage = open(sys.argv[1], encoding="utf-8").read()
page = open(sys.argv[2], encoding="utf-8").read()
commands, globals_ = usage.split("オプション:")
lines = page.split("\n")
missing = []
# Each command's line in the page names the options its usage line names.
for name, rest in re.findall(r"^  ([a-z]+)(.*)$", commands, re.M):
    entry = [line for line in lines if re.match(rf" +{name}\b", line)]
    options = re.findall(r"--[a-z][a-z-]*", rest)
    if not entry or any(option not in entry[0] for option in options):
        missing.append(f"{name} {options}")
# Every option of its own under オプション has an entry of its own.
for option in re.findall(r"^  (--[a-z][a-z-]*)", globals_, re.M):
    if not any(re.match(rf" +{option}\b", line) for line in lines):
        missing.append(option)
codes = re.findall(r"(\d) ([^、\n]+)", usage.split("終了コード:")[1])
missing += [f"exit {n} {text}" for n, text in codes
            if not re.search(rf"^ +{n} +{re.escape(text)}", page, re.M)]
assert len(re.findall(r"^  [a-z]+", commands, re.M)) >= 7 and len(codes) == 4, codes
if missing:
    print("missing from the page:", missing)
    sys.exit(1)
EOF

# `kestaro` prepares a Wine prefix in the user's own folders and starts the
# window in ~/Kestaro; nothing is written under the installed files.
home="$work/home"
mkdir -p "$home"
before=$(find "$work/root" -newer "$deb" | wc -l)
# The window's own title, as the X server shows it: Kestaro is up and drawn.
HOME="$home" XDG_DATA_HOME="" in_virtual_display sh -c '
  "$1/usr/bin/kestaro" &
  for i in $(seq 180); do
    xwininfo -root -tree | grep -q "\"Kestaro Ver 1.0\"" && break
    sleep 1
  done
  xwininfo -root -tree | grep -q "\"Kestaro Ver 1.0\""
  status=$?
  WINEPREFIX="$2/.local/share/kestaro/wine" /usr/lib/wine/wineserver64 -k
  exit $status' started "$work/root" "$home" || fail "kestaro did not open the window"
[ -f "$home/.local/share/kestaro/wine/.kestaro-ready" ] || fail "no Wine prefix in the user's folders"
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" "$work/root/usr/bin/kestaro" 2>"$work/nodisplay" &&
  fail "kestaro without a display reported success"
grep -q "no display" "$work/nodisplay" || fail "kestaro without a display says nothing"
[ -f "$home/Kestaro/LOTO.DAT" ] && cmp -s "$home/Kestaro/LOTO.DAT" data/sample-LOTO.DAT ||
  fail "~/Kestaro holds no sample LOTO.DAT"
[ -f "$home/Kestaro/kestarohelp.html" ] || fail "~/Kestaro holds no help page"
[ "$(find "$work/root" -newer "$deb" | wc -l)" = "$before" ] || fail "kestaro wrote under the installed files"
echo "package: $deb checked"
