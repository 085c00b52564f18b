#include <zelvra/display/TouchedTiles.h>

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zv {

namespace {
// A row's backgrounds start a fraction of a pixel below where the glyphs of
// the row above end, so tiles are one pixel tall; a few pixels wide keeps
// the map small. Larger areas get coarser tiles rather than a bigger map.
const float TILE_WIDTH = 8;
const std::size_t MOST_TILES = 1 << 20;
} // namespace

TouchedTiles::TouchedTiles()
    : tile_w(TILE_WIDTH), tile_h(1), columns(0), rows(0), clears(1), trusted(false) {}

void TouchedTiles::cover(const sf::FloatRect& area) {
  assert(area.width >= 0 && area.height >= 0);
  map_area = area;
  tile_w = TILE_WIDTH, tile_h = 1;
  for (;;) {
    columns = static_cast<int>(std::ceil(area.width / tile_w)) + 1;
    rows = static_cast<int>(std::ceil(area.height / tile_h)) + 1;
    if (static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) <= MOST_TILES)
      break;
    tile_w *= 2, tile_h *= 2;
  }
  marks.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), Mark{0, 0, 0});
  row_marks.assign(static_cast<std::size_t>(rows), Mark{0, 0, 0});
}

void TouchedTiles::cleared() {
  // A new number makes every mark stale at once. Zero never is one, so
  // should the count come round, the old marks go.
  if (++clears == 0) {
    std::fill(marks.begin(), marks.end(), Mark{0, 0, 0});
    std::fill(row_marks.begin(), row_marks.end(), Mark{0, 0, 0});
    clears = 1;
  }
  trusted = true;
}

bool TouchedTiles::span(float left, float top, float right, float bottom, int& x0, int& y0, int& x1, int& y1) const {
  if (marks.empty() || right <= map_area.left || bottom <= map_area.top || left >= map_area.left + map_area.width ||
      top >= map_area.top + map_area.height)
    return false;
  // Every tile the rectangle overlaps, its right and bottom edges excluded.
  auto first = [](float at, float tile, int count) {
    return static_cast<int>(std::min(std::max(std::floor(at / tile), 0.0f), static_cast<float>(count - 1)));
  };
  auto last = [](float at, float tile, int count) {
    return static_cast<int>(std::min(std::max(std::ceil(at / tile) - 1, 0.0f), static_cast<float>(count - 1)));
  };
  x0 = first(left - map_area.left, tile_w, columns), x1 = last(right - map_area.left, tile_w, columns);
  y0 = first(top - map_area.top, tile_h, rows), y1 = last(bottom - map_area.top, tile_h, rows);
  return true;
}

void TouchedTiles::Mark::extend(std::uint32_t now, float l, float r) {
  if (clear != now)
    *this = Mark{now, l, r};
  else
    left = std::min(left, l), right = std::max(right, r);
}

void TouchedTiles::touch(float left, float top, float right, float bottom) {
  int x0, y0, x1, y1;
  if (!span(left, top, right, bottom, x0, y0, x1, y1))
    return;
  for (int y = y0; y <= y1; y++) {
    row_marks[static_cast<std::size_t>(y)].extend(clears, left, right);
    for (int x = x0; x <= x1; x++)
      marks[static_cast<std::size_t>(y * columns + x)].extend(clears, left, right);
  }
}

bool TouchedTiles::untouched(float left, float top, float right, float bottom) const {
  if (!trusted)
    return false;
  int x0, y0, x1, y1;
  if (!span(left, top, right, bottom, x0, y0, x1, y1))
    return true;
  for (int y = y0; y <= y1; y++) {
    if (!row_marks[static_cast<std::size_t>(y)].hit(clears, left, right))
      continue;
    for (int x = x0; x <= x1; x++)
      if (marks[static_cast<std::size_t>(y * columns + x)].hit(clears, left, right))
        return false;
  }
  return true;
}

} // namespace zv
