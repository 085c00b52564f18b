#include <zelvra/display/Quad.h>

#include <algorithm>

namespace zv {

Quad Quad::movedBy(float x, float y) const {
  return Quad{left + x, top + y, right + x, bottom + y, u1, v1, u2, v2};
}

Quad Quad::clippedTo(float l, float t, float r, float b) const {
  Quad part = *this;
  part.left = std::max(left, l), part.top = std::max(top, t);
  part.right = std::min(right, r), part.bottom = std::min(bottom, b);
  // Cut the page where the quad is cut, so the part samples it as the whole would.
  float du = (u2 - u1) / (right - left), dv = (v2 - v1) / (bottom - top);
  part.u1 = u1 + (part.left - left) * du, part.u2 = u1 + (part.right - left) * du;
  part.v1 = v1 + (part.top - top) * dv, part.v2 = v1 + (part.bottom - top) * dv;
  return part;
}

} // namespace zv
