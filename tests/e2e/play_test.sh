#!/usr/bin/env bash
# The real game in a real window, driven by real key presses: skip the
# splash, start a run, steer down and up, end the run, see the game-over
# screen and the menu again, quit. Screenshots go to the artefact folder.
#   play_test.sh PATH/TO/zelvra ARTEFACT_FOLDER [LIBRARY_TO_PRELOAD]
set -u
game=$(readlink -f "$1")
artefacts=$(mkdir -p "$2" && readlink -f "$2")
rm -f "$artefacts"/*
preload=${3:+$(readlink -f "$3")}

. "$(dirname "$0")/common.sh"
own_server "$@"
enter_run_folder e2e

# The preload keeps GL drivers mapped to the end, for the leak checker of
# sanitizer builds; it must come before the sanitizer's runtime.
LD_PRELOAD="$preload" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$game" > game.out 2>&1 &
pid=$!

fail() {
  echo "FAIL: $*"
  cp zelvra.log game.out "$artefacts/" 2>/dev/null
  kill "$pid" 2>/dev/null
  exit 1
}

# Fraction and centre of the pixels of one exact colour inside a region
# (WxH+X+Y of the 1024x768 window at the screen's corner): "count x y".
measure() {
  local shot=$1 color=$2 region=$3
  convert "$shot" -crop "$region" +repage txt:- 2>/dev/null |
    awk -v c="$color" -F'[,: ]+' 'index($0, c) { n++; sx += $1; sy += $2 }
      END { if (n) printf "%d %.1f %.1f\n", n, sx / n, sy / n; else print "0 0 0" }'
}

# Every X client call has a bound: on a loaded machine one may never answer.
shot() { timeout 10 import -window "$window" "$1" 2>/dev/null; }

# Without a window manager the focus follows nothing: set it, with the
# pointer inside, before every key.
focus() {
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool mousemove --window "$window" 512 384 2>/dev/null
}
press() { focus; xdotool key "$1"; }
hold() { focus; xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

# Waits (up to 100 polls, 15 s or more) until a colour covers at least MIN
# pixels of a region.
wait_for() {
  local name=$1 color=$2 region=$3 min=$4
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the $name screen: $(tail -3 zelvra.log)"
    shot "$name.png"
    if [ "$(count_color "$name.png" "$color" "$region")" -ge "$min" ]; then
      cp "$name.png" "$artefacts/"
      return 0
    fi
    sleep 0.1
  done
  cp "$name.png" "$artefacts/" 2>/dev/null
  return 1
}

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zelvra$' 2>/dev/null | head -1)
[ -n "$window" ] || fail "the game window did not appear"

GREEN='#00FF00' YELLOW='#FFFF00' CYAN='#00FFFF' RED='#FF0000'
WHOLE='1024x768+0+0' CENTRE='700x400+162+184'

wait_for splash "$GREEN" "$WHOLE" 200 || fail "no green title on the splash screen"
press Return
wait_for menu "$YELLOW" "$CENTRE" 500 || fail "the start menu did not appear"

press space
# The car: cyan, around cell (10, 12), pixel (128, 384).
wait_for run "$CYAN" '200x200+28+284' 50 || fail "no car after SPACE"
# Steer and end the run at once, measuring afterwards: on a slow machine a
# long run meets enough obstacles to end by itself, and the Q meant for it
# would then quit at the menu.
hold s 1
shot down.png
hold w 1
shot up.png
press q
wait_for gameover "$RED" "$CENTRE" 500 || fail "no game-over screen after Q"
cp down.png up.png "$artefacts/"
read -r _ _ y_start < <(measure run.png "$CYAN" "$WHOLE")
read -r _ _ y_down < <(measure down.png "$CYAN" "$WHOLE")
read -r _ _ y_up < <(measure up.png "$CYAN" "$WHOLE")
awk -v a="$y_start" -v b="$y_down" 'BEGIN { exit !(b > a + 40) }' || fail "S did not move the car down ($y_start -> $y_down)"
awk -v a="$y_down" -v b="$y_up" 'BEGIN { exit !(b < a - 40) }' || fail "W did not move the car up ($y_down -> $y_up)"

wait_for menu-again "$YELLOW" "$CENTRE" 500 || fail "the menu did not come back"

press q
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
kill -0 "$pid" 2>/dev/null && fail "Q at the menu did not end the program"
wait "$pid"
status=$?
cp zelvra.log "$artefacts/"
[ "$status" -eq 0 ] || fail "exit code $status"
grep -q '\*\* Game engine stopped \*\*' zelvra.log || fail "no closing banner in the log"
rm -rf "$run_dir"
echo "PASS: splash, menu, run, steering, game over, menu, quit"
