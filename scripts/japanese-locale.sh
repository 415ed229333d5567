#!/bin/sh
# Generates the ja_JP.UTF-8 locale, under which Wine's ANSI code page is 932.
set -eu
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  locale-gen >/dev/null
fi
