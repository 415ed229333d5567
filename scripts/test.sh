#!/bin/sh
# Builds everything and runs every test: the native build, then the Windows
# builds under Wine in a virtual display. Installs what is missing first.
# Each build is a preset of CMakePresets.json, in build/PRESET.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh

sh scripts/install-deps.sh cmake make g++ nlohmann-json3-dev googletest libgtest-dev libbenchmark-dev \
  mingw-w64 wine wine64 wine32:i386 xvfb xauth locales fonts-ipafont-gothic fonts-wine zip unzip \
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck g++-multilib qemu-user python3 \
  chromium-headless-shell
sh scripts/japanese-locale.sh

echo "== native build and tests"
preset native
ctest --preset native -j "$jobs"

echo "== kestaro-cli built with clang"
preset clang
ctest --preset clang

echo "== kestaro-cli configured without GoogleTest and Google Benchmark"
# The preset forbids finding either package: configuring proves that neither is needed.
preset cli-only
KESTARO_CLI_TEST_QUICK=yes sh cli/cli_test.sh "$top/build/cli-only/bin/kestaro-cli"

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
preset asan
ctest --preset asan -j "$jobs"

echo "== search and draw-file tests under ThreadSanitizer"
preset tsan
ctest --preset tsan

echo "== fuzzing the readers of outside input: the draw file and results files"
sh scripts/fuzz.sh

sh scripts/static-checks.sh

for arch in i686 x86_64; do
  echo "== $arch Windows build"
  preset "$arch"
done

use_wine_prefix
arches="i686 x86_64"
if ! can_run_i386; then
  arches="x86_64"
  echo "== this machine cannot run i386 programs: the 32-bit build runs only its static checks"
  ctest --preset i686-static
  echo "== 32-bit analysis tests with the shipped program's SSE2 arithmetic, under qemu-i386"
  # Linked statically, GoogleTest draws warnings about glibc's name lookup: kept in a log.
  preset i686-linux >build/i686-linux.log 2>&1 || { cat build/i686-linux.log; exit 1; }
  ctest --preset i686-linux
fi
for arch in $arches; do
  echo "== $arch tests under Wine"
  in_virtual_display ctest --preset "$arch"
done

echo "== the Debian package and cmake --install"
sh scripts/check-deb.sh
