#!/bin/sh
# Generates the ja_JP.UTF-8 locale, under which Wine's ANSI code page is 932.
set -eu
locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' && exit 0
as_root=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Run as root: sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && locale-gen" >&2
    exit 1
  fi
  as_root=sudo
fi
echo "Generating the ja_JP.UTF-8 locale" >&2
$as_root sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
$as_root locale-gen >/dev/null
