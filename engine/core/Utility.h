// Small shared helpers: distances, ranges, text conversions, view conversions.
#ifndef ZV_UTILITY_H
#define ZV_UTILITY_H

#include <string>

#include <zelvra/core/Vector.h>

namespace zv {

float distance(Vector a, Vector b);
// Both ends included.
bool valueInRange(float value, float min, float max);
std::string boolToString(bool value);
std::string toString(int value);
// Default stream formatting: six significant digits, no trailing zeros.
std::string toString(float value);

// Between world positions and positions relative to the view's corner.
Vector worldToView(Vector world_pos);
Vector viewToWorld(Vector view_pos);

} // namespace zv

#endif
