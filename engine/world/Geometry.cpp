#include <zelvra/world/Geometry.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/world/Object.h>

namespace zv {

Box getWorldBox(const Object* p_o, Vector where) {
  Box box = p_o->getBox();
  box.setCorner(box.getCorner() + where);
  return box;
}

Box getWorldBox(const Object* p_o) { return getWorldBox(p_o, p_o->getPosition()); }

bool boxIntersectsBox(Box a, Box b) {
  Vector ac = a.getCorner(), bc = b.getCorner();
  float ax = ac.getX(), ay = ac.getY();
  float bx = bc.getX(), by = bc.getY();
  bool x_overlap = (bx <= ax && ax <= bx + b.getHorizontal()) || (ax <= bx && bx <= ax + a.getHorizontal());
  bool y_overlap = (by <= ay && ay <= by + b.getVertical()) || (ay <= by && by <= ay + a.getVertical());
  return x_overlap && y_overlap;
}

bool boxContainsPosition(Box b, Vector p) {
  float x = b.getCorner().getX(), y = b.getCorner().getY();
  return x <= p.getX() && p.getX() <= x + b.getHorizontal() && y <= p.getY() && p.getY() <= y + b.getVertical();
}

Vector getNormal(const Object* p_mover, const Object* p_other) {
  Vector v = p_mover->getVelocity();
  Vector p0 = p_mover->getPosition();
  Vector last = p0;
  Box b2 = getWorldBox(p_other);
  float f = 0.5f;
  float step = 0.5f;
  // Binary search along the motion for the last place short of the other.
  for (int i = 1; i <= 7; i++) {
    v.scale(f);
    Vector p = p0 + v;
    if (boxIntersectsBox(getWorldBox(p_mover, p), b2)) {
      f = f - step;
    } else {
      f = f + step;
      last = p;
    }
    step *= 0.5f;
  }
  Box b1 = getWorldBox(p_mover, last);

  float x = b2.getCorner().getX(), y = b2.getCorner().getY();
  float w = b2.getHorizontal(), h = b2.getVertical();
  struct Side {
    float cx, cy, nx, ny;
  };
  const Side sides[] = {
      {x, y - h, 0, -1},     {x, y + h, 0, 1},      {x - w, y, -1, 0},     {x + w, y, 1, 0},
      {x - w, y - h, -1, -1}, {x + w, y - h, 1, -1}, {x - w, y + h, -1, 1}, {x + w, y + h, 1, 1},
  };
  for (const Side& side : sides) {
    if (boxIntersectsBox(b1, Box(Vector(side.cx, side.cy), w, h)))
      return Vector(side.nx, side.ny);
  }
  LogManager::getInstance().writeLog("getNormal(): collision not detected. Returning (0,0).");
  return Vector(0, 0);
}

} // namespace zv
