#!/usr/bin/env bash
# Proves the README's two commands on a machine with nothing installed: makes a
# minimal Debian 12 root from the package sources apt already uses, clones the
# committed tree into it and runs, inside it as root and without a display:
#   1. ./run.sh            installs, builds, and the log must say why it cannot start;
#   2. ./run.sh (Xvfb)     the game must still be running after 20 s;
#   3. ./test.sh           every test in both build trees.
# Not part of the test command: it needs root, the package mirror and ~15 min.
#   scripts/clean-root.sh [ROOT_DIR] [REV]     (defaults: /tmp/zelvra-root, HEAD)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-/tmp/zelvra-root}
rev=${2:-HEAD}
[ "$(id -u)" -eq 0 ] || { echo "clean-root: run as root" >&2; exit 2; }
command -v mmdebstrap > /dev/null || apt-get install -y -qq mmdebstrap

cleanup() {
  for m in dev/pts dev sys proc; do umount "$root/$m" 2> /dev/null || true; done
}
trap cleanup EXIT

rm -rf "$root"
# The host's own sources (deb822), so the root sees the same archive snapshot.
mmdebstrap --variant=apt bookworm "$root" /etc/apt/sources.list.d/debian.sources
# What a real machine has and a bare root lacks: names for localhost and the
# resolver. Nothing else from the host goes in.
cp /etc/hosts /etc/resolv.conf "$root/etc/"
for m in proc sys dev dev/pts; do mount --bind "/$m" "$root/$m"; done

git clone -q . "$root/zelvra"
git -C "$root/zelvra" checkout -q "$rev"

inside() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb "$@"; }
status=0

echo "=== 1. ./run.sh without a display ==="
if inside bash -c 'cd /zelvra && ./run.sh' > "$root/run-nodisplay.log" 2>&1; then
  echo "FAIL: the game started without a display"; status=1
elif grep -q "Unable to allocate window" "$root/zelvra/build/zelvra.log"; then
  echo "ok: built, and the game's log says why it could not start:"
  grep "Unable to allocate window" "$root/zelvra/build/zelvra.log"
else
  echo "FAIL: no reason given"; tail -20 "$root/run-nodisplay.log"; status=1
fi

echo "=== 2. ./run.sh under a virtual display ==="
rc=0
# The project's own virtual display (a server that does not reset between clients).
inside bash -c 'cd /zelvra && scripts/with-display.sh timeout 20 ./run.sh' > "$root/run-xvfb.log" 2>&1 || rc=$?
if [ "$rc" -eq 124 ]; then
  echo "ok: the game was still running after 20 s"
else
  echo "FAIL: the game ended with $rc"; tail -20 "$root/run-xvfb.log"; status=1
fi

echo "=== 3. ./test.sh ==="
if inside bash -c 'cd /zelvra && ./test.sh' > "$root/test.log" 2>&1; then
  echo "ok:"
else
  echo "FAIL:"; status=1
fi
grep -E "tests passed|tests failed|^\s+[0-9]+ - " "$root/test.log" || tail -30 "$root/test.log"
echo "logs: $root/run-nodisplay.log $root/run-xvfb.log $root/test.log"
exit $status
