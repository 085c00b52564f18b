#include <zelvra/resources/Frame.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/display/DisplayManager.h>

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
  // A frame far larger than the window costs only its visible part: find the
  // rows and columns that can reach the view (they form one span each).
  auto cell = [&](int x, int y) {
    return Vector(position.getX() + static_cast<float>(x) - hx, position.getY() + static_cast<float>(y) - hy);
  };
  int x0 = 0, x1 = width - 1, y0 = 0, y1 = height - 1;
  while (y0 <= y1 && display.areaUnseen(cell(0, y0), cell(width - 1, y0)))
    y0++;
  while (y1 >= y0 && display.areaUnseen(cell(0, y1), cell(width - 1, y1)))
    y1--;
  if (y0 > y1)
    return 0;
  while (x0 <= x1 && display.areaUnseen(cell(x0, y0), cell(x0, y1)))
    x0++;
  while (x1 >= x0 && display.areaUnseen(cell(x1, y0), cell(x1, y1)))
    x1--;
  for (int y = y0; y <= y1; y++) {
    for (int x = x0; x <= x1; x++) {
      char ch = frame_str[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
      if (transparency != 0 && ch == transparency)
        continue;
      // The font has no defined glyph for bytes above 127 in the default locale.
      if (static_cast<unsigned char>(ch) > 127)
        ch = '?';
      if (display.drawCharacter(cell(x, y), ch, color) != 0)
        return -1;
    }
  }
  return 0;
}

} // namespace zv
