// The quads of one frame's character cells in one vertex array, drawn with
// one call: each cell adds its background, then its glyph, so what comes
// later covers what came earlier, as separate draws would.
//
// A software renderer pays for every quad it sets up, so the backgrounds of
// a row of cells in one colour become one growing quad. That quad is drawn
// before the row's glyphs, so the part of a glyph that the next background
// would have covered is held back and dropped when that background joins
// (or added after all when it does not); the parts of it above and below
// the row are added at once, since no background of the row covers them.
//
// Backgrounds are the colour the window is cleared to, so a row of them
// over pixels nothing has touched since the clear changes no pixel: such a
// row is left out. What was drawn is tracked in tiles of a few pixels.
#ifndef ZV_CELL_BATCH_H
#define ZV_CELL_BATCH_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

namespace zv {

// The texels with ink on one row of a glyph's rectangle on the page, counted
// from its left edge; first > last when the row has none.
struct InkSpan {
  short first, last;
};

// What a frame drew: its quads (glyph pieces and backgrounds; a row of
// backgrounds left out is not drawn, so not counted), and how many of them
// were backgrounds. Shapes' triangles are not quads.
struct DrawCounts {
  int quads = 0;
  int backgrounds = 0;
};

class CellBatch {
 public:
  CellBatch();
  // Room for this many quads without allocating while frames are drawn.
  void reserve(std::size_t quads);
  // Quads wholly outside this rectangle of target pixels are dropped.
  void setVisible(const sf::FloatRect& rect);
  // True when a quad from (left, top) to (right, bottom) would be dropped.
  bool unseen(float left, float top, float right, float bottom) const {
    return right <= min_x || left >= max_x || bottom <= min_y || top >= max_y;
  }
  // A cell's background, coloured through the page texel (white, white).
  void addBackground(float left, float top, float right, float bottom, float white, sf::Color color);
  // The glyph of the cell whose background came last, with the ink of each
  // row of its page rectangle (null: ink anywhere).
  void addGlyph(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                sf::Color color, const std::vector<InkSpan>* p_ink);
  // The window was just cleared to this colour.
  void cleared(sf::Color color);
  // An untextured triangle (its corners read the page's white block).
  void addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, float white, sf::Color color);
  // Draws every quad in one call with the page as texture, then empties
  // the batch (keeping its memory). Whoever draws next may draw anything,
  // so no background is left out until the next clear.
  void draw(sf::RenderTarget& target, const sf::Texture* p_page);
  // Drops every quad unseen.
  void clear();
  // What the frame before the last clear drew.
  const DrawCounts& lastFrame() const { return last_frame; }

 private:
  struct Piece {
    float left, top, right, bottom, u1, v1, u2, v2;
    sf::Color color;
    const std::vector<InkSpan>* p_ink;
    Piece clip(float l, float t, float r, float b) const;
    // Whether some pixel of it reads a texel with ink.
    bool inked(const Piece& glyph) const;
  };
  std::vector<sf::Vertex> vertices;
  float min_x, min_y, max_x, max_y;
  // The row of backgrounds that the next one may join.
  bool run_open;
  std::size_t run_first;  // its first vertex
  float run_top, run_bottom, run_right;
  sf::Color run_color;
  // The part of the last glyph that the next background of the run covers.
  bool held_open;
  Piece held_glyph;  // the glyph it is cut from

  // Whether the window is as cleared, and where things were drawn since:
  // for each tile the number of the first element that touched it.
  bool window_clean;
  sf::Color clear_color;
  std::uint64_t element, frame_start;
  std::vector<std::uint64_t> stamps;
  float tile_w, tile_h;
  int tiles_x, tiles_y;
  bool run_clean;          // the open run is left out
  std::uint64_t run_element;  // the element count when it began
  DrawCounts counting, last_frame;  // this frame so far, the one before

  // A quad from (left, top) to (right, bottom), textured from the page
  // rectangle (u1, v1)-(u2, v2), and recorded as drawn; push() leaves it
  // unrecorded. False when it was dropped as unseen.
  bool add(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
           sf::Color color);
  bool add(const Piece& p) { return add(p.left, p.top, p.right, p.bottom, p.u1, p.v1, p.u2, p.v2, p.color); }
  bool push(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
            sf::Color color);
  // Tiles [x0, x1] x [y0, y1] under a rectangle; false when it is off the map.
  bool tiles(float left, float top, float right, float bottom, int& x0, int& y0, int& x1, int& y1) const;
  void stamp(float left, float top, float right, float bottom);
  // Whether the window is as cleared under a rectangle, but for what
  // elements after the given count drew.
  bool untouched(float left, float top, float right, float bottom, std::uint64_t since) const;
  // The part of the held glyph past the run's end, on the row.
  Piece heldPiece() const { return held_glyph.clip(run_right, run_top, std::numeric_limits<float>::max(), run_bottom); }
  // Adds what is held back and lets no later background join the run.
  void closeRun();
};

} // namespace zv

#endif
