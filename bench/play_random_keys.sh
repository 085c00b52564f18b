#!/usr/bin/env bash
# Plays the real game with random key presses on a virtual display of its
# own and counts the frames the loop could not finish in time.
#   bench/play_random_keys.sh [BUILD_FOLDER] [SECONDS]   (defaults: build 120)
# Prints the count of "Can't keep up!" lines; exits 1 when there is any.
set -u
build=$(readlink -f "${1:-build}")
seconds=${2:-120}
if [ -z "${ZV_KEYS_PRIVATE_SERVER:-}" ]; then
  export ZV_KEYS_PRIVATE_SERVER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build" "$seconds"
fi

run_dir=$(mktemp -d /tmp/zelvra-keys-XXXXXX)
ln -s "$build/sprites" "$run_dir/sprites"
ln -s "$build/sounds" "$run_dir/sounds"
cp "$build/zv-font.ttf" "$build/zv-config.txt" "$run_dir/"
cd "$run_dir" || exit 1
"$build/zelvra" > game.out 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zelvra$' 2>/dev/null | head -1)
[ -n "$window" ] || { echo "no game window"; kill "$pid"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null

# Q would quit from the menu: only SPACE (start a run) and the two steering keys.
keys=(space w s w s)
end=$((SECONDS + seconds))
while [ "$SECONDS" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
  key=${keys[RANDOM % ${#keys[@]}]}
  xdotool keydown "$key"
  sleep "0.$((RANDOM % 4 + 1))"
  xdotool keyup "$key"
done
running=yes
kill -0 "$pid" 2>/dev/null || running=no
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
late=$(grep -c "Can't keep up!" zelvra.log)
echo "played ${seconds} s (game still running at the end: $running); \"Can't keep up!\" lines: $late"
[ "$running" = yes ] && [ "$late" -eq 0 ]
