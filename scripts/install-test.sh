#!/usr/bin/env bash
# The engine as its users get it: installs a build into a scratch prefix,
# builds the template against that prefix alone, runs it headless and in a
# window, runs the installed game from another working directory, then makes
# the Debian packages and checks what they hold and need.
#   install-test.sh BUILD_FOLDER [LIBRARY_TO_PRELOAD]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "$1")
preload=${2:+$(readlink -f "$2")}

# Everything below may open a window: give it a display first.
if [ -z "${ZV_INSTALL_TEST_DISPLAY:-}" ]; then
  export ZV_INSTALL_TEST_DISPLAY=1
  exec "$src/scripts/with-display.sh" "$0" "$@"
fi

work=$(mktemp -d /tmp/zelvra-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
quiet() { # output only on failure
  "$@" > "$work/out.log" 2>&1 || { cat "$work/out.log"; fail "$*"; }
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
sanitize=$(sed -n 's/^ZELVRA_SANITIZE:BOOL=//p' "$build/CMakeCache.txt")

quiet cmake --install "$build" --prefix "$work/prefix"

# Every installed header compiles on its own with what zelvra.pc gives: none
# needs a header left out or the engine's folders on the include path.
cflags=$(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags zelvra)
(cd "$work/prefix/include" && find zelvra -name '*.h') | while read -r header; do
  echo "#include <$header>" | g++ -std=c++17 -fsyntax-only $cflags -x c++ - 2> "$work/header.log" ||
    fail "$header alone: $(head -3 "$work/header.log")"
done

# A sanitized engine needs its users built with the sanitizers too.
flags=(); [ "$sanitize" = ON ] && flags=(-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined)
cp -r "$work/prefix/share/zelvra-dev/template" "$work/template"
quiet cmake -S "$work/template" -B "$work/game" -DCMAKE_PREFIX_PATH="$work/prefix" "${flags[@]}"
quiet cmake --build "$work/game"
# Folders, not a bare prefix: a checkout at /zelvra would match .../include/zelvra.
! grep -qF -e "$src/engine" -e "$build/" "$work/game/CMakeCache.txt" "$work/game/CMakeFiles/mygame.dir/flags.make" ||
  fail "the template's build refers to the source or build tree"

# A good run: the build's version in the banner, the frame limit reached, no error.
check_run() {
  local log=$1
  grep -qF "** Zelvra version $version **" "$log" || fail "$log: no banner for $version"
  grep -qF "FrameCounter: 20 frames done." "$log" || fail "$log: frames not counted"
  ! grep -q "Error" "$log" || fail "$log: $(grep Error "$log")"
}
cd "$work/game" && printf 'headless:true,\nlogfile:headless.log,\n' > headless.txt
ZELVRA_CONFIG=headless.txt ./mygame 20 || fail "headless template run: exit code $?"
check_run headless.log
# The preload keeps GL drivers mapped to the end, for the leak checker.
LD_PRELOAD="$preload" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" ./mygame 20 ||
  fail "template run in a window: exit code $?"
check_run mygame.log

# The template game installed, and run from elsewhere by a player: its log
# in the player's folder, its data found beside it.
quiet cmake --install "$work/game" --prefix "$work/mygame"
env -u XDG_STATE_HOME -u XDG_CONFIG_HOME -u ZELVRA_LOG -u ZELVRA_CONFIG HOME="$work/home" LD_PRELOAD="$preload" \
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$work/mygame/bin/mygame" 20 ||
  fail "installed template run: exit code $?"
check_run "$work/home/.local/state/mygame/mygame.log"

# The installed game from elsewhere, for a new player: log and configuration
# in the player's folders, data found beside the program. It has loaded its
# sprites once the last one is named in the log.
mkdir "$work/home" && cd /
env -u XDG_STATE_HOME -u XDG_CONFIG_HOME -u ZELVRA_LOG -u ZELVRA_CONFIG HOME="$work/home" \
  "$work/prefix/bin/zelvra" > "$work/zelvra.out" 2>&1 &
pid=$!
log=$work/home/.local/state/zelvra/zelvra.log
for _ in $(seq 1200); do
  grep -qF "gameOver-spr.txt" "$log" 2> /dev/null && break
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
sleep 0.5 && kill "$pid" 2> /dev/null || fail "the installed game ended by itself: $(cat "$log" "$work/zelvra.out")"
wait "$pid" || true
grep -qF "gameOver-spr.txt" "$log" || fail "the installed game loaded no sprites in 2 minutes"
! grep -q "Error" "$log" || fail "installed game: $(grep Error "$log")"
[ -f "$work/home/.config/zelvra/zv-config.txt" ] || fail "no player configuration"

# The packages of either build (a sanitized one also needs the sanitizer runtimes).
cd "$build"
quiet cpack -G DEB -B "$work/deb"
# Package, files it must hold, a file it must not, packages it must depend on.
while read -r name files stray depends; do
  deb=$(ls "$work"/deb/"${name}_${version}"_*.deb) || fail "no $name package of version $version"
  dpkg-deb -c "$deb" | awk '{print $6}' > "$work/files"
  for f in ${files//,/ }; do
    grep -qx "./usr/$f" "$work/files" || fail "$name lacks /usr/$f"
  done
  ! grep -q "$stray" "$work/files" || fail "$name holds $stray"
  for d in ${depends//,/ }; do
    grep -qw "$d" <<< "$(dpkg-deb -f "$deb" Depends)" || fail "$name does not depend on $d"
  done
done << 'TABLE'
zelvra-dev lib/libzelvra.a,include/zelvra/zelvra.h,include/zelvra/world/Object.h,include/zelvra/core/Version.h,share/zelvra-dev/template/main.cpp,lib/cmake/Zelvra/ZelvraGame.cmake,lib/cmake/Zelvra/ZelvraConfig.cmake,lib/cmake/Zelvra/ZelvraConfigVersion.cmake,lib/pkgconfig/zelvra.pc /bin/ libsfml-dev,libx11-dev
zelvra bin/zelvra,share/zelvra/zv-font.ttf,share/zelvra/zv-config.txt,share/zelvra/sprites/racer-spr.txt,share/zelvra/sounds/Honk.wav /include/ libsfml-graphics2.5,libsfml-window2.5,libsfml-audio2.5,libsfml-system2.5,fonts-dejavu-core
TABLE
