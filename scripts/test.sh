#!/bin/sh
# Builds everything and runs every test: the native build, then the Windows
# builds under Wine in a virtual display. Installs what is missing first.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)

sh scripts/install-deps.sh cmake make g++ googletest libgtest-dev libbenchmark-dev \
  mingw-w64 wine wine64 wine32:i386 xvfb xauth locales fonts-ipafont-gothic fonts-wine zip unzip \
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck g++-multilib qemu-user python3
sh scripts/japanese-locale.sh

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

echo "== kestaro-cli built with clang"
cmake -S . -B build/clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/clang -j "$jobs" --target kestaro-cli
sh cli/cli_test.sh "$top/build/clang/bin/kestaro-cli"

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DKESTARO_SANITIZE=address,undefined >/dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== search and draw-file tests under ThreadSanitizer"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DKESTARO_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs" --target analysis_tests
build/tsan/bin/analysis_tests --gtest_brief=1

echo "== fuzzing the draw-file reader"
sh scripts/fuzz.sh

sh scripts/static-checks.sh

for arch in i686 x86_64; do
  echo "== $arch Windows build"
  cmake -S . -B "build/$arch" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null
  cmake --build "build/$arch" -j "$jobs"
done

export WINEPREFIX="$top/build/wineprefix"
sh scripts/wine-prefix.sh
# Some machines cannot execute i386 programs at all, and so not the 32-bit
# Wine loader; there the 32-bit build is only compiled and inspected.
arches="x86_64"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arches="i686 x86_64"
else
  echo "== this machine cannot run i386 programs: the 32-bit build runs only its static checks"
  ctest --test-dir build/i686 --output-on-failure -R "kestaro_imports|analysis_sse2_arithmetic|package_contents"
  echo "== 32-bit analysis tests with the shipped program's SSE2 arithmetic, under qemu-i386"
  cmake -S . -B build/i686-linux -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-linux-qemu.cmake >/dev/null
  # Linked statically, GoogleTest draws warnings about glibc's name lookup: kept in a log.
  cmake --build build/i686-linux -j "$jobs" >build/i686-linux.log 2>&1 ||
    { cat build/i686-linux.log; exit 1; }
  ctest --test-dir build/i686-linux --output-on-failure
fi
for arch in $arches; do
  echo "== $arch tests under Wine"
  xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    "ctest --test-dir build/$arch --output-on-failure; status=\$?; wineserver -k; exit \$status"
done
