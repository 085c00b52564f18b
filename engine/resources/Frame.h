// One still picture: a rectangle of characters, rows joined without
// separators (the character of column x in row y is at y * width + x).
#ifndef ZV_FRAME_H
#define ZV_FRAME_H

#include <string>

#include <zelvra/core/Color.h>
#include <zelvra/core/Vector.h>

namespace zv {

class Frame {
 private:
  int width;
  int height;
  std::string frame_str;

 public:
  // The empty frame, which is how "no frame" is reported.
  Frame();
  // Stored as given; draw() checks the string against the size.
  Frame(int new_width, int new_height, std::string new_frame_str);

  int getWidth() const;
  int getHeight() const;
  std::string getString() const;

  // Draws the frame centred on position, skipping the transparent
  // character (0 for none). Characters outside 7-bit ASCII are drawn as
  // '?'. A string shorter than width x height is logged and nothing is
  // drawn (-1). Returns -1 as soon as one character fails to draw.
  int draw(Vector position, Color color, char transparency) const;
};

} // namespace zv

#endif
