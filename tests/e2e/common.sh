# Sourced by the end-to-end scripts after they set $game.

# Keyboard state is global to an X server: run the calling script again on a
# server of its own, unless it already is on one.
own_server() {
  if [ -z "${ZV_E2E_PRIVATE_SERVER:-}" ]; then
    export ZV_E2E_PRIVATE_SERVER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
  fi
}

# A scratch run folder named after $1, with the game's data from beside the
# program; sets run_dir and source_dir and enters the folder.
enter_run_folder() {
  run_dir=$(mktemp -d "/tmp/zelvra-$1-XXXXXX")
  source_dir=$(dirname "$game")
  ln -s "$source_dir/sprites" "$run_dir/sprites"
  ln -s "$source_dir/sounds" "$run_dir/sounds"
  cp "$source_dir/zv-font.ttf" "$source_dir/zv-config.txt" "$run_dir/"
  cd "$run_dir" || exit 1
}

# How many pixels of exactly one colour a region (WxH+X+Y) of a screenshot
# holds; counted inside ImageMagick, so a poll stays well under a second even
# on a loaded machine and short screens such as the splash are not missed.
count_color() {
  convert "$1" -crop "$3" +repage -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null || echo 0
}
