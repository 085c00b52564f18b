// Indexes every object of the world by activity, solidness, visibility per
// altitude and type, and the solid ones by place in a collision grid. Object
// setters ask it first and change their field only when it agrees.
#ifndef ZV_SCENE_GRAPH_H
#define ZV_SCENE_GRAPH_H

#include <map>
#include <string>

#include <zelvra/world/CollisionGrid.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/ObjectList.h>

namespace zv {

class SceneGraph {
 private:
  ObjectList objects;
  ObjectList solid_objects;
  ObjectList visible_objects[MAX_ALTITUDE + 1];
  ObjectList inactive_objects;
  std::map<std::string, ObjectList> type_map;
  CollisionGrid grid;  // holds exactly the solid list's objects

  static bool altitudeInRange(int altitude);
  // Failures expected while objects leave in bulk at game over are not logged.
  static bool quiet();
  int visibleInsert(Object* p_o, int altitude);
  int visibleRemove(Object* p_o);
  int solidInsert(Object* p_o);
  int solidRemove(Object* p_o);

 public:
  SceneGraph();

  // Sizes the collision grid from grid_width and grid_height; a size below
  // 1 is logged and replaced by its default. Always 0.
  int startUp();
  void shutDown();

  int insertObject(Object* p_o);
  int removeObject(Object* p_o);

  ObjectList activeObjects() const;
  ObjectList inactiveObjects() const;
  ObjectList solidObjects() const;
  // The solid objects other than p_except whose world boxes meet box, in
  // the solid list's order.
  ObjectList solidObjectsMeeting(Box box, const Object* p_except) const;
  ObjectList visibleObjects(int altitude) const;
  // The active objects of one type (empty for a type never seen).
  ObjectList objectsOfType(std::string type) const;

  int updateActive(Object* p_o, bool new_active);
  int updateVisible(Object* p_o, bool new_visible);
  int updateAltitude(Object* p_o, int new_altitude);
  int updateSolidness(Object* p_o, Solidness new_solidness);
  int updateType(Object* p_o, std::string new_type);
  // For the collision grid, before the object's position or box changes.
  void updatePosition(Object* p_o, Vector new_position);
  void updateBox(Object* p_o, Box new_box);
};

} // namespace zv

#endif
