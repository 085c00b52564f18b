// Where something was drawn on a target since it was last cleared, kept in
// tiles a few pixels wide and one tall: enough to tell that a rectangle
// still shows nothing but the clear colour. A tile keeps the span of x that
// what touched it covered, so that cells narrower than a tile, drawn one
// after the other, do not seem to touch; each row of tiles keeps the span
// of its own, so that most questions are answered without reading a tile.
// One flag says whether the map can be trusted at all; until the next clear
// after it is dropped, every tile counts as touched.
#ifndef ZV_TOUCHED_TILES_H
#define ZV_TOUCHED_TILES_H

#include <cstdint>
#include <vector>

#include <SFML/Graphics/Rect.hpp>

namespace zv {

class TouchedTiles {
 public:
  TouchedTiles();
  // A new map over this rectangle of the target, every tile untouched. The
  // trust stays: the view moves only on a target drawn to since the clear.
  void cover(const sf::FloatRect& area);
  // The target was just cleared: no tile is touched, and the map is trusted.
  void cleared();
  // The target now holds what the map was not told of.
  void distrust() { trusted = false; }
  // Marks every tile under the rectangle (left, top)-(right, bottom).
  void touch(float left, float top, float right, float bottom);
  // Whether the map is trusted and nothing touched a tile under the rectangle since the clear.
  bool untouched(float left, float top, float right, float bottom) const;

 private:
  sf::FloatRect map_area;
  float tile_w, tile_h;
  int columns, rows;
  struct Mark {
    std::uint32_t clear;  // the clear it was touched after; marks of earlier ones are stale
    float left, right;    // what touched it since, from left to right
    void extend(std::uint32_t now, float l, float r);
    bool hit(std::uint32_t now, float l, float r) const { return clear == now && left < r && l < right; }
  };
  std::vector<Mark> marks, row_marks;
  std::uint32_t clears;  // counts clears from 1
  bool trusted;

  // The tiles [x0, x1] x [y0, y1] under a rectangle; false when it misses the map.
  bool span(float left, float top, float right, float bottom, int& x0, int& y0, int& x1, int& y1) const;
};

} // namespace zv

#endif
