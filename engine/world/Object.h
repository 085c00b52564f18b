// Everything that lives in the game world. Objects enter the world in their
// constructor and are deleted only by the WorldManager.
#ifndef ZV_OBJECT_H
#define ZV_OBJECT_H

#include <string>
#include <vector>

#include <zelvra/core/Box.h>
#include <zelvra/core/Event.h>
#include <zelvra/core/Vector.h>
#include <zelvra/display/Shape.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/world/Path.h>

namespace zv {

const int MAX_OBJ_EVENTS = 100;
const int MAX_ALTITUDE = 4;

// A fixed type: a number read from text may be any int, and the setter
// has to be able to hold it to refuse it.
enum Solidness : int {
  HARD = 0,
  SOFT,
  SPECTRAL,
};

enum ObjectAttribute : int {
  ID = 0,
  ACTIVE,
  VISIBLE,
  EVENTS,
  BOX,
  POSITION,
  TYPE,
  ANIMATION,
  ALTITUDE,
  SOLIDNESS,
  NO_SOFT,
  SPEED,
  DIRECTION,
  ACCELERATION,
  SHAPE,
  PATH,
  FOLLOW_PATH,
  AVOID_COLLISIONS,
};
const int ATTRIBUTE_COUNT = 18;

class PathFind;

class Object {
 private:
  int id;
  std::string type;
  bool is_active;
  bool is_visible;
  Box box;
  Vector position;
  Vector direction;
  float speed;
  Vector acceleration;
  int altitude;
  Solidness solidness;
  Animation animation;
  Shape shape;
  bool no_soft;
  int event_count;
  // Grows with use: a fixed array of MAX_OBJ_EVENTS names would spread the
  // fields the world reads every frame over ten times the memory.
  std::vector<std::string> event_name;
  PathFind* p_path_find;  // owned; pending with the PathManager
  Path path;
  bool follow_path;
  bool avoid_collisions;
  int grid_slot;  // the collision grid's, -1 outside it: saves it a lookup per move
  friend class CollisionGrid;

  class Manager& managerFor(const std::string& event_type) const;
  int startPathFind(PathFind* p_new);
  void dropPathFind();

 protected:
  bool modified[ATTRIBUTE_COUNT];
  // Gives back the id the newest object took, for objects that use none.
  static void releaseLastId();

 public:
  Object();
  virtual ~Object();

  int getId() const;
  void setId(int new_id);
  std::string getType() const;
  void setType(std::string new_type);
  bool isActive() const;
  int setActive(bool active = true);
  bool isVisible() const;
  int setVisible(bool visible = true);

  Vector getPosition() const;
  virtual int setPosition(Vector new_position);
  Box getBox() const;
  void setBox(Box new_box);
  int getAltitude() const;
  int setAltitude(int new_altitude);
  Solidness getSolidness() const;
  bool isSolid() const;
  int setSolidness(Solidness new_solid);
  bool getNoSoft() const;
  void setNoSoft(bool new_no_soft = true);
  bool getAvoidCollisions() const;
  void setAvoidCollisions(bool new_avoid = true);

  Vector getDirection() const;
  float getSpeed() const;
  Vector getVelocity() const;
  void setVelocity(Vector new_velocity);
  Vector getAcceleration() const;
  void setAcceleration(Vector new_acceleration);
  // Where the object would be after one step of its own motion.
  Vector predictPosition() const;

  void setPath(Path new_path);
  Path getPath() const;
  // Aims the object at the path's current node, if it has one.
  void setFollowPath(bool follow = true);
  bool getFollowPath() const;
  // One frame of steering along the path; run by the WorldManager after
  // the object's move.
  void followPath();
  // Starts a search from the object's cell to the goal's cell, or until the
  // object's box meets the target's; replaces a pending search. The result
  // arrives later as a path event. -1 (logged) when the search cannot start:
  // an empty world, a start or goal outside it, no PathManager.
  int findPath(Vector goal);
  int findPath(Object* p_target);
  // The pending search, or null.
  PathFind* getPathFind() const;

  int registerInterest(std::string event_type);
  int unregisterInterest(std::string event_type);
  int getEventCount() const;
  std::string getEventName(int index) const;

  Animation getAnimation() const;
  // Copies the animation's state; with set_box the box becomes the
  // animation's box, keeping the object's place in every list.
  void setAnimation(Animation new_animation, bool set_box = true);
  // The sprite of that label from the ResourceManager, and its box; -1
  // (nothing changed) when there is none.
  int setSprite(std::string sprite_label);
  Shape getShape() const;
  void setShape(Shape new_shape);

  // Handles path events (overrides must pass "zv-path" on, which also ends
  // the search); everything else is ignored (0).
  virtual int eventHandler(const Event* p_e);
  // Draws (and so advances) the animation at the position, then the
  // shape if there is one; the animation's result.
  virtual int draw();
  // Objects anchored to the screen are drawn wherever the view is.
  virtual bool isViewObject() const;

  // Key:value text of the selected attributes: "ALL", "" for the changed
  // ones, or selectors such as "POSITION,TYPE,". Clears the written flags.
  virtual std::string serialize(std::string attributes = "");
  // Applies the pairs found in text through the setters; always 0.
  virtual int deserialize(std::string text);
  virtual bool isModified() const;
  virtual bool isModified(ObjectAttribute attribute) const;
};

// The id the next object will take.
int getNextObjectId();

} // namespace zv

#endif
