#include "resources/Frame.h"

#include "core/LogManager.h"
#include "display/DisplayManager.h"

namespace zv {

Frame::Frame() : width(0), height(0) {}

Frame::Frame(int new_width, int new_height, std::string new_frame_str)
    : width(new_width), height(new_height), frame_str(new_frame_str) {}

int Frame::getWidth() const { return width; }
int Frame::getHeight() const { return height; }
std::string Frame::getString() const { return frame_str; }

int Frame::draw(Vector position, Color color, char transparency) const {
  if (frame_str.empty() || height < 1 || width < 1)
    return 0;
  long long needed = static_cast<long long>(width) * height;
  if (static_cast<long long>(frame_str.size()) < needed) {
    // Frames built in code are not checked when added; never read past the string.
    LogManager::getInstance().writeLog("Frame::draw(): Error! Frame string has %d characters, %d x %d needs %lld.",
                                       static_cast<int>(frame_str.size()), width, height, needed);
    return -1;
  }
  const DisplayManager& display = DisplayManager::getInstance();
  float hx = static_cast<float>(width - 1) / 2.0f;
  float hy = static_cast<float>(height - 1) / 2.0f;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      char ch = frame_str[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
      if (transparency != 0 && ch == transparency)
        continue;
      // The font has no defined glyph for bytes above 127 in the default locale.
      if (static_cast<unsigned char>(ch) > 127)
        ch = '?';
      Vector cell(position.getX() + static_cast<float>(x) - hx, position.getY() + static_cast<float>(y) - hy);
      if (display.drawCharacter(cell, ch, color) != 0)
        return -1;
    }
  }
  return 0;
}

} // namespace zv
