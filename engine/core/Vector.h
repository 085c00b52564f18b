// A two-dimensional vector in character cells; y grows downwards.
#ifndef ZV_VECTOR_H
#define ZV_VECTOR_H

namespace zv {

class Vector {
 private:
  float x;
  float y;

 public:
  Vector(float init_x, float init_y);
  Vector();

  float getX() const;
  void setX(float new_x);
  float getY() const;
  void setY(float new_y);
  void setXY(float new_x, float new_y);

  float getMagnitude() const;
  // Unit length; a zero vector stays zero.
  void normalize();
  void scale(float s);

  Vector operator+(const Vector& other) const;
  Vector operator-(const Vector& other) const;
  Vector& operator+=(const Vector& other);
  bool operator==(const Vector& other) const;
  bool operator!=(const Vector& other) const;
  // True when both components are exactly zero.
  bool operator!() const;
};

} // namespace zv

#endif
