// A small filled circle, square or triangle that an object may carry besides
// its sprite; drawn in pixels straight into the window.
#ifndef ZV_SHAPE_H
#define ZV_SHAPE_H

#include <zelvra/core/Color.h>
#include <zelvra/core/Vector.h>

namespace zv {

enum ShapeType : int {
  SHAPE_NONE = -1,
  CIRCLE = 0,
  SQUARE,
  TRIANGLE,
};

class Shape {
 private:
  Color color;
  unsigned char r, g, b;
  int type;
  float size;
  unsigned char opacity;

 public:
  Shape();

  // Accepts -1 to 2; anything else is logged and ignored.
  void setType(int new_type);
  int getType() const;
  // A custom colour from its three channels.
  void setColor(unsigned char new_r, unsigned char new_g, unsigned char new_b);
  // A named colour, or CUSTOM to keep the channels.
  void setColor(Color new_color);
  Color getColor() const;
  unsigned char getR() const;
  unsigned char getG() const;
  unsigned char getB() const;
  void setSize(float new_size);
  float getSize() const;
  void setOpacity(unsigned char new_opacity);
  unsigned char getOpacity() const;

  // Draws at a world position (fills r, g, b from a named colour).
  void draw(Vector world_pos);
};

} // namespace zv

#endif
