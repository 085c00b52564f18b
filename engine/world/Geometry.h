// Box arithmetic used by collision, drawing and path finding.
#ifndef ZV_GEOMETRY_H
#define ZV_GEOMETRY_H

#include <zelvra/core/Box.h>
#include <zelvra/core/Vector.h>

namespace zv {

class Object;

// The object's box placed at where (corner + where).
Box getWorldBox(const Object* p_o, Vector where);
Box getWorldBox(const Object* p_o);
// Closed intervals on both axes: boxes that touch intersect.
bool boxIntersectsBox(Box a, Box b);
bool boxContainsPosition(Box b, Vector p);
// Which face of other the mover touches: (0,-1) above ... (1,1) below-right.
Vector getNormal(const Object* p_mover, const Object* p_other);

} // namespace zv

#endif
