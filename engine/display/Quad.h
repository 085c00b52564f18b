// A rectangle on the target textured from a rectangle of the glyph page,
// the page mapped linearly onto it: how the glyph cache describes a glyph
// and the one shape the cell batch draws.
#ifndef ZV_QUAD_H
#define ZV_QUAD_H

namespace zv {

struct Quad {
  float left, top, right, bottom;  // on the target (a cached glyph: offsets from the pen)
  float u1, v1, u2, v2;            // on the page, in page pixels

  // The same quad moved by (x, y) on the target.
  Quad movedBy(float x, float y) const;
  // The part inside the box (l, t)-(r, b), its page rectangle cut where the
  // quad is cut. Where they do not overlap the result is inverted (left >
  // right or top > bottom) and covers nothing.
  Quad clippedTo(float l, float t, float r, float b) const;
  // Whether the two share some area on the target.
  bool overlaps(const Quad& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

} // namespace zv

#endif
