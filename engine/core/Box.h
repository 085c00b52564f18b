// An extent: top-left corner plus horizontal and vertical size, in cells.
#ifndef ZV_BOX_H
#define ZV_BOX_H

#include <zelvra/core/Vector.h>

namespace zv {

class Box {
 private:
  Vector corner;
  float horizontal;
  float vertical;

 public:
  Box();
  Box(Vector init_corner, float init_horizontal, float init_vertical);

  Vector getCorner() const;
  void setCorner(Vector new_corner);
  float getHorizontal() const;
  void setHorizontal(float new_horizontal);
  float getVertical() const;
  void setVertical(float new_vertical);

  bool operator==(const Box& other) const;
  bool operator!=(const Box& other) const;
};

} // namespace zv

#endif
