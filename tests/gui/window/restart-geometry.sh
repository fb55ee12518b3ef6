#!/usr/bin/env bash
# Starts the real window RUNS times under an X server with a window manager that draws
# frames (openbox), closing it with Esc each time, and fails unless every run stores the
# same SX/SY/PX/PY and shows the same client size. Starts its own Xvfb and openbox, or uses
# the display in QUORVEX_DISPLAY. Skips (exit 77) when those programs are missing.
# Usage: restart-geometry.sh QUORVEX_BINARY [RUNS] [ZOOMED]
#   ZOOMED=1: every run starts maximised, is restored, then closed.
set -euo pipefail
binary=${1:?usage: restart-geometry.sh QUORVEX_BINARY [RUNS] [ZOOMED]}
runs=${2:-5}
zoomed=${3:-0}
for tool in xdotool xwininfo; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool missing"; exit 77; }
done

home=$(mktemp -d /tmp/quorvex-restart-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2> /dev/null || true; done
  rm -rf "$home"
}
trap cleanup EXIT

if [[ -n "${QUORVEX_DISPLAY:-}" ]]; then
  export DISPLAY=$QUORVEX_DISPLAY
else
  command -v Xvfb > /dev/null && command -v openbox > /dev/null ||
    { echo "SKIP: Xvfb or openbox missing"; exit 77; }
  Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp > "$home/display" 2> /dev/null &
  pids+=($!)
  for _ in $(seq 100); do [[ -s "$home/display" ]] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$home/display")"
  openbox > /dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini=$XDG_CONFIG_HOME/Velmora/Quorvex.ini
unset QT_QPA_PLATFORM

# A stored place and size away from the defaults, as an earlier run would have left them.
mkdir -p "$(dirname "$ini")"
printf '[Last]\nPX=100\nPY=80\nSX=1200\nSY=750\nZoomed=0\n' > "$ini"
seeded="SX=1200 SY=750 PX=100 PY=80"

value() { sed -n "s/^$1=//p" "$ini" 2> /dev/null; }
client_size() { xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }
settle() {  # until the client size has stayed the same for a second
  local last="" now same=0
  for _ in $(seq 50); do
    now=$(client_size)
    if [[ $now == "$last" ]]; then ((++same >= 5)) && return; else same=0; fi
    last=$now
    sleep 0.2
  done
}

results=()
for run in $(seq "$runs"); do
  if [[ $zoomed == 1 ]]; then sed -i 's/^Zoomed=.*/Zoomed=1/' "$ini"; fi
  "$binary" > /dev/null 2>&1 &
  app=$!
  win=$(xdotool search --sync --onlyvisible --pid "$app" 2> /dev/null | head -1)
  settle
  if [[ $zoomed == 1 ]]; then
    echo "run $run: opened maximised, client $(client_size)"
    # Restore the maximised window: a double click on its title bar (openbox's default).
    xdotool mousemove 400 8 click --repeat 2 --delay 80 1
    settle
  fi
  client=$(client_size)
  xdotool windowactivate --sync "$win" key Escape > /dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$app" 2> /dev/null || break; sleep 0.1; done
  if kill -0 "$app" 2> /dev/null; then
    kill "$app"
    echo "run $run: the window did not close on Esc"
    exit 1
  fi
  line="Zoomed=$(value Zoomed) SX=$(value SX) SY=$(value SY) PX=$(value PX) PY=$(value PY) client=$client"
  echo "run $run: $line"
  results+=("$line")
done
first=${results[0]}
[[ $first == "Zoomed=0 $seeded "* ]] || { echo "FAIL: the first run did not keep $seeded"; exit 1; }
for r in "${results[@]}"; do
  [[ $r == "$first" ]] || { echo "FAIL: the stored geometry changed between runs"; exit 1; }
done
echo "PASS: $runs runs kept $first"
