#!/usr/bin/env bash
# The real program with one bad configuration value at a time: it must
# stop at once with exit code 1, naming the key, the value and the range
# on stderr and in the log.
#   bad_config_test.sh PATH/TO/zelvra
set -u
game=$(readlink -f "$1")
. "$(dirname "$0")/common.sh"
own_server "$@"
enter_run_folder config

failures=0
# key value range
while read -r key value range; do
  echo "$key:$value," > zv-config.txt
  timeout -s KILL 20 "$game" > out.txt 2> err.txt
  status=$?
  line="Config::loadConfig(): Error! $key is '$value', not a number $range"
  problem=""
  [ "$status" -eq 1 ] || problem="exit code $status"
  grep -qF "$line" err.txt || problem="$problem; not on stderr"
  grep -qF "$line" zelvra.log || problem="$problem; not in the log"
  grep -qF "Error starting game manager!" zelvra.log || problem="$problem; no start-up error in the log"
  if [ -n "$problem" ]; then
    echo "FAIL: $key:$value: ${problem#; }"
    failures=$((failures + 1))
  fi
done <<'TABLE'
window_horizontal_pixels 65536 from 1 to 16384.
window_vertical_pixels 65536 from 1 to 16384.
window_horizontal_pixels 0 from 1 to 16384.
window_horizontal_pixels wide from 1 to 16384.
window_horizontal_chars 0 from 1 to 1000.
window_vertical_chars -5 from 1 to 1000.
font_scale 1000 above 0 and at most 10.
frame_time 2147483647 from 0 to 1000.
TABLE
rm -rf "$run_dir"
[ "$failures" -eq 0 ] || exit 1
echo "PASS: every bad value refused with its reason"
