// A named, ordered set of frames of one size, drawn in one colour at one
// animation speed, with an optional transparent character. Shared
// read-only by every animation that shows it; never copied.
#ifndef ZV_SPRITE_H
#define ZV_SPRITE_H

#include <string>
#include <vector>

#include <zelvra/core/Color.h>
#include <zelvra/core/Vector.h>
#include <zelvra/resources/Frame.h>

namespace zv {

class Sprite {
 private:
  int width;
  int height;
  int max_frame_count;
  int frame_count;
  Color color;
  int slowdown;
  char transparency;
  std::vector<Frame> frame;  // grows as frames are added
  std::string label;

  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

 public:
  // Holds at most max_frames frames; room is taken only as frames are
  // added, so a header's count costs nothing. A negative count is logged
  // and the sprite can hold no frame.
  explicit Sprite(int max_frames);
  ~Sprite();

  void setWidth(int new_width);
  int getWidth() const;
  void setHeight(int new_height);
  int getHeight() const;
  void setColor(Color new_color);
  Color getColor() const;
  void setSlowdown(int new_slowdown);
  int getSlowdown() const;
  void setTransparency(char new_transparency);
  char getTransparency() const;
  void setLabel(std::string new_label);
  std::string getLabel() const;
  int getFrameCount() const;
  int getMaxFrameCount() const;

  // -1 when the sprite is full; the frame's size is not compared.
  int addFrame(Frame new_frame);
  // A copy, or the empty frame for a number out of range.
  Frame getFrame(int frame_number) const;
  // Draws one frame in the sprite's colour; an out-of-range number draws nothing (0).
  int draw(int frame_number, Vector position, char transparency) const;
};

} // namespace zv

#endif
