#!/bin/sh
# Installs what building and testing Kestaro needs, with apt-get. Does
# nothing when everything is already there.
set -eu
need=""
has() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for package in "$@"; do
  has "$package" || need="$need $package"
done
[ -z "$need" ] && exit 0
echo "Installing:$need"
case "$need" in *:i386*) dpkg --add-architecture i386 ;; esac
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends $need
