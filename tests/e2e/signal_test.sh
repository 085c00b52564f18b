#!/usr/bin/env bash
# SIGTERM and SIGINT at the splash, at the menu and during a run: the game
# must end as Q ends it, with the closing banner in the log and exit code 0.
#   signal_test.sh PATH/TO/zelvra [LIBRARY_TO_PRELOAD]
set -u
game=$(readlink -f "$1")
preload=${2:+$(readlink -f "$2")}
. "$(dirname "$0")/common.sh"
own_server "$@"
enter_run_folder signal

# Waits (up to 60 polls) until a colour covers at least 50 pixels of a region
# (WxH+X+Y of the window).
wait_for() {
  for _ in $(seq 1 60); do
    timeout 10 import -window "$window" shot.png 2>/dev/null
    [ "$(count_color shot.png "$1" "$2")" -ge 50 ] && return 0
    sleep 0.1
  done
  return 1
}
press() {
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool mousemove --window "$window" 512 384 2>/dev/null
  xdotool key "$1"
}

WHOLE='1024x768+0+0' CENTRE='700x400+162+184' CAR='200x200+28+284'
failures=0
while read -r phase sig; do
  # The preload keeps GL drivers mapped for the leak checker of sanitizer builds.
  LD_PRELOAD="$preload" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$game" > out.txt 2>&1 &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zelvra$' 2>/dev/null | head -1)
  reached=no
  if [ -n "$window" ]; then
    case $phase in
      splash) wait_for '#00FF00' "$WHOLE" && reached=yes ;;
      menu) press Return; wait_for '#FFFF00' "$CENTRE" && reached=yes ;;
      run) press Return; wait_for '#FFFF00' "$CENTRE" && press space && wait_for '#00FFFF' "$CAR" && reached=yes ;;
    esac
  fi
  kill -s "$sig" "$pid"
  for _ in $(seq 1 40); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  problem=""
  [ "$reached" = yes ] || problem="never reached the $phase"
  [ "$status" -eq 0 ] || problem="$problem; exit code $status"
  tail -1 zelvra.log | grep -qF '** Game engine stopped **' || problem="$problem; log does not end with the closing banner"
  grep -qF "GameManager::run(): Signal" zelvra.log || problem="$problem; the signal is not in the log"
  if [ -n "$problem" ]; then
    echo "FAIL: SIG$sig at the $phase: ${problem#; }"
    cp zelvra.log "$source_dir/signal-$phase-$sig.log" 2>/dev/null
    failures=$((failures + 1))
  fi
done <<'TABLE'
splash TERM
splash INT
menu TERM
menu INT
run TERM
run INT
TABLE
rm -rf "$run_dir"
[ "$failures" -eq 0 ] || exit 1
echo "PASS: SIGTERM and SIGINT end the game cleanly at the splash, the menu and during a run"
