#include <zelvra/core/Utility.h>

#include <cmath>
#include <sstream>

#include <zelvra/world/WorldManager.h>

namespace zv {

float distance(Vector a, Vector b) {
  float dx = std::fabs(a.getX() - b.getX());
  float dy = std::fabs(a.getY() - b.getY());
  return std::sqrt(dx * dx + dy * dy);
}

bool valueInRange(float value, float min, float max) { return min <= value && value <= max; }

std::string boolToString(bool value) { return value ? "true" : "false"; }

std::string toString(int value) { return std::to_string(value); }

std::string toString(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

Vector worldToView(Vector world_pos) {
  return world_pos - WorldManager::getInstance().getView().getCorner();
}

Vector viewToWorld(Vector view_pos) {
  return view_pos + WorldManager::getInstance().getView().getCorner();
}

} // namespace zv
