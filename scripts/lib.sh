# Shared paths and helpers for the project's scripts. Sourced, never run.
# Everything built or prepared outside the repository lives under RUVI_CACHE.

RUVI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUVI_CACHE=${RUVI_CACHE:-$HOME/.cache/ruvi}
RUVI_DEPS=$RUVI_CACHE/deps
RUVI_WINEPREFIX=${RUVI_WINEPREFIX:-$RUVI_CACHE/wineprefix}
export RUVI_ROOT RUVI_CACHE RUVI_DEPS RUVI_WINEPREFIX

ruvi_log() { printf '== %s\n' "$*" >&2; }

# Debian's Wine starts without its preloader, so the ranges Windows programs
# expect are claimed only once the loader (linked at 0x7d000000) is running.
# The kernel places the C heap up to 1 GiB above the loader; when it lands on
# 0x7ffe0000 the process dies with "failed to map the shared user data:
# c0000018". Scripts that run Wine call this first with "$0" "$@": it starts
# the script again without address randomisation, which everything it starts
# inherits, so the heap always sits right after the loader. Where the
# personality cannot be changed (a sandbox that forbids it), nothing changes.
ruvi_without_address_randomization() {
  local personality
  read -r personality </proc/self/personality 2>/dev/null || return 0
  (( 0x$personality & 0x40000 )) && return 0
  setarch "$(uname -m)" -R true 2>/dev/null || return 0
  exec setarch "$(uname -m)" -R "$@"
}

# The environment every Wine run of the project uses.
ruvi_wine_env() {
  export WINEPREFIX=$RUVI_WINEPREFIX
  export WINEDEBUG=${WINEDEBUG:--all}
  export LC_ALL=zh_CN.UTF-8
  # A crash must end the process (exit code 5) instead of opening the debugger.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export WINEARCH=win64
}

# Starts a private Xvfb on a free display; prints the display number.
ruvi_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { echo "$n $pid"; return 0; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$pid" 2>/dev/null
  done
  echo "cannot start Xvfb" >&2
  return 1
}
