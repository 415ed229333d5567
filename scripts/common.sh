# Sourced by the other scripts, after they set $top and cd there: the build
# configurations are the presets in CMakePresets.json, and the choices below
# are made in this one place.
jobs=$(nproc)

# configure NAME: configures the preset NAME into build/NAME, quietly.
configure() {
  cmake --preset "$1" >/dev/null
}

# preset NAME [TARGETS...]: configures and builds the preset NAME, only
# TARGETS when given.
preset() {
  preset_name=$1
  shift
  configure "$preset_name" || return
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset_name" -j "$jobs" --target "$@"
  else
    cmake --build --preset "$preset_name" -j "$jobs"
  fi
}

# Some machines cannot execute i386 programs at all, and so not the 32-bit
# Wine loader.
can_run_i386() {
  WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix} sh "$top/scripts/wine-run.sh" win32 --version \
    >/dev/null 2>&1
}

# The Windows build whose programs this machine runs: the shipped 32-bit one,
# or the 64-bit one where i386 programs cannot run.
windows_arch() {
  if can_run_i386; then echo i686; else echo x86_64; fi
}

# use_wine_prefix: the project's Wine prefix, prepared once.
use_wine_prefix() {
  export WINEPREFIX="$top/build/wineprefix"
  sh "$top/scripts/wine-prefix.sh"
}

# in_virtual_display COMMAND [ARGS...]: runs COMMAND in a virtual X display,
# then ends what it left running under Wine; the status is COMMAND's.
in_virtual_display() {
  xvfb-run -a -s "-screen 0 1024x768x24" \
    sh -c '"$@"; status=$?; wineserver -k; exit $status' in_virtual_display "$@"
}
