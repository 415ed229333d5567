#!/bin/sh
# Installs what building and testing Kestaro needs, with apt-get: as root
# directly, otherwise through sudo. Does nothing when everything is there.
set -eu
need=""
has() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for package in "$@"; do
  has "$package" || need="$need $package"
done
[ -z "$need" ] && exit 0
as_root=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Kestaro needs these packages:$need" >&2
    case "$need" in *:i386*) echo "Run as root: dpkg --add-architecture i386" >&2 ;; esac
    echo "Run as root: apt-get update && apt-get install -y --no-install-recommends$need" >&2
    exit 1
  fi
  as_root=sudo
fi
echo "Installing with apt-get:$need" >&2
case "$need" in *:i386*) $as_root dpkg --add-architecture i386 ;; esac
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $need >&2
