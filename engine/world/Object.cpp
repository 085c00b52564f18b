#include <zelvra/world/Object.h>

#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Utility.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/network/NetworkManager.h>
#include <zelvra/resources/ResourceManager.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/PathFind.h>
#include <zelvra/world/PathManager.h>
#include <zelvra/world/SceneGraph.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {
int next_id = 1;
} // namespace

int getNextObjectId() { return next_id; }

void Object::releaseLastId() { next_id--; }

Object::Object()
    : id(next_id++),
      type("(Undefined)"),
      is_active(true),
      is_visible(true),
      box(Vector(-0.5f, -0.5f), 0.99f, 0.99f),
      position(1.0f, 1.0f),
      direction(0.0f, 0.0f),
      speed(0.0f),
      acceleration(0.0f, 0.0f),
      altitude(MAX_ALTITUDE / 2),
      solidness(HARD),
      no_soft(false),
      event_count(0),
      p_path_find(nullptr),
      follow_path(false),
      avoid_collisions(false),
      grid_slot(-1) {
  for (bool& flag : modified)
    flag = true;
  shape.setType(SHAPE_NONE);
  WorldManager::getInstance().insertObject(this);
}

Object::~Object() {
  for (int i = event_count - 1; i >= 0; i--) {
    std::string name = event_name[i];
    unregisterInterest(name);
  }
  dropPathFind();
  PathManager::getInstance().forgetTarget(this);
  WorldManager::getInstance().removeObject(this);
}

int Object::getId() const { return id; }

void Object::setId(int new_id) {
  if (new_id == id)
    return;
  if (new_id >= next_id)
    next_id = new_id + 1;
  id = new_id;
  modified[ID] = true;
}

std::string Object::getType() const { return type; }

void Object::setType(std::string new_type) {
  WorldManager::getInstance().getSceneGraph().updateType(this, new_type);
  type = new_type;
  modified[TYPE] = true;
}

bool Object::isActive() const { return is_active; }

int Object::setActive(bool active) {
  if (active == is_active)
    return 0;
  if (WorldManager::getInstance().getSceneGraph().updateActive(this, active) == -1)
    return -1;
  is_active = active;
  modified[ACTIVE] = true;
  return 0;
}

bool Object::isVisible() const { return is_visible; }

int Object::setVisible(bool visible) {
  if (visible == is_visible)
    return 0;
  if (WorldManager::getInstance().getSceneGraph().updateVisible(this, visible) == -1)
    return -1;
  is_visible = visible;
  modified[VISIBLE] = true;
  return 0;
}

Vector Object::getPosition() const { return position; }

int Object::setPosition(Vector new_position) {
  if (new_position == position)
    return 0;
  WorldManager::getInstance().getSceneGraph().updatePosition(this, new_position);
  position = new_position;
  modified[POSITION] = true;
  return 0;
}

Box Object::getBox() const { return box; }

void Object::setBox(Box new_box) {
  if (new_box == box)
    return;
  // Re-inserting keeps every index consistent with the new extent. Objects
  // made before the world started were never inserted and stay out.
  bool in_world = WorldManager::getInstance().isStarted();
  SceneGraph& graph = WorldManager::getInstance().getSceneGraph();
  if (in_world)
    graph.removeObject(this);
  box = new_box;
  if (in_world)
    graph.insertObject(this);
  modified[BOX] = true;
}

int Object::getAltitude() const { return altitude; }

int Object::setAltitude(int new_altitude) {
  if (new_altitude == altitude)
    return 0;
  if (!valueInRange(static_cast<float>(new_altitude), 0.0f, static_cast<float>(MAX_ALTITUDE))) {
    LogManager::getInstance().writeLog("Object::setAltitude(): Altitude %d not in range [%d,%d].  Ignored.",
                                       new_altitude, 0, MAX_ALTITUDE);
    return -1;
  }
  if (WorldManager::getInstance().getSceneGraph().updateAltitude(this, new_altitude) == -1)
    return -1;
  altitude = new_altitude;
  modified[ALTITUDE] = true;
  return 0;
}

Solidness Object::getSolidness() const { return solidness; }
bool Object::isSolid() const { return solidness == HARD || solidness == SOFT; }

int Object::setSolidness(Solidness new_solid) {
  if (new_solid == solidness)
    return 0;
  if (static_cast<unsigned int>(new_solid) > static_cast<unsigned int>(SPECTRAL)) {
    LogManager::getInstance().writeLog("Object::setSolidness(): Solidness %d not one of HARD, SOFT or SPECTRAL.",
                                       static_cast<int>(new_solid));
    return -1;
  }
  if (WorldManager::getInstance().getSceneGraph().updateSolidness(this, new_solid) == -1)
    return -1;
  solidness = new_solid;
  modified[SOLIDNESS] = true;
  return 0;
}

bool Object::getNoSoft() const { return no_soft; }
void Object::setNoSoft(bool new_no_soft) {
  no_soft = new_no_soft;
  modified[NO_SOFT] = true;
}

bool Object::getAvoidCollisions() const { return avoid_collisions; }
void Object::setAvoidCollisions(bool new_avoid) {
  avoid_collisions = new_avoid;
  modified[AVOID_COLLISIONS] = true;
}

Vector Object::getDirection() const { return direction; }
float Object::getSpeed() const { return speed; }

Vector Object::getVelocity() const {
  Vector velocity = direction;
  velocity.scale(speed);
  return velocity;
}

void Object::setVelocity(Vector new_velocity) {
  speed = new_velocity.getMagnitude();
  new_velocity.normalize();
  direction = new_velocity;
  modified[SPEED] = true;
  modified[DIRECTION] = true;
}

Vector Object::getAcceleration() const { return acceleration; }
void Object::setAcceleration(Vector new_acceleration) {
  acceleration = new_acceleration;
  modified[ACCELERATION] = true;
}

Vector Object::predictPosition() const { return position + getVelocity(); }

Manager& Object::managerFor(const std::string& event_type) const {
  if (event_type == KEYBOARD_EVENT || event_type == MOUSE_EVENT)
    return InputManager::getInstance();
  if (event_type == STEP_EVENT)
    return GameManager::getInstance();
  if (event_type == NETWORK_EVENT || event_type == KEYBOARD_NETWORK_EVENT || event_type == MOUSE_NETWORK_EVENT ||
      event_type == CUSTOM_NETWORK_EVENT)
    return NetworkManager::getInstance();
  return WorldManager::getInstance();
}

int Object::registerInterest(std::string event_type) {
  if (event_count == MAX_OBJ_EVENTS) {
    LogManager::getInstance().writeLog("Object::registerInterest(): maximum (%d) reached, cannot register for event '%s'",
                                       MAX_OBJ_EVENTS, event_type.c_str());
    return -1;
  }
  if (managerFor(event_type).registerInterest(this, event_type) == -1)
    return -1;
  event_name.push_back(event_type);
  event_count++;
  modified[EVENTS] = true;
  return 0;
}

int Object::unregisterInterest(std::string event_type) {
  int index = -1;
  for (int i = 0; i < event_count; i++) {
    if (event_name[i] == event_type) {
      index = i;
      break;
    }
  }
  if (index == -1) {
    LogManager::getInstance().writeLog("Object::unregisterInterest(): event '%s' not previously registered",
                                       event_type.c_str());
    return -1;
  }
  if (managerFor(event_type).unregisterInterest(this, event_type) == -1)
    return -1;
  event_name.erase(event_name.begin() + index);
  event_count--;
  modified[EVENTS] = true;
  return 0;
}

int Object::getEventCount() const { return event_count; }

std::string Object::getEventName(int index) const {
  if (index < 0 || index >= event_count)
    return "";
  return event_name[index];
}

void Object::setPath(Path new_path) {
  path = new_path;
  modified[PATH] = true;
}

Path Object::getPath() const { return path; }

namespace {
Vector towards(Vector from, Vector to) {
  Vector d = to - from;
  d.normalize();
  return d;
}
} // namespace

void Object::setFollowPath(bool follow) {
  follow_path = follow;
  if (!path.isDone())
    direction = towards(position, path.currentNode());
  modified[FOLLOW_PATH] = true;
}

bool Object::getFollowPath() const { return follow_path; }

void Object::followPath() {
  if (!follow_path)
    return;
  // Three quarters of a step's travel: the object lands exactly on each node.
  const float reach = speed * 3.0f * 0.25f;
  while (!path.isDone()) {
    Vector node = path.currentNode();
    if ((node - position).getMagnitude() > reach) {
      direction = towards(position, node);
      return;
    }
    setPosition(node);
    path.advance();
    modified[PATH] = true;
  }
  direction = Vector(0, 0);
  setFollowPath(false);
}

int Object::findPath(Vector goal) { return startPathFind(new PathFind(this, goal)); }

int Object::findPath(Object* p_target) { return startPathFind(new PathFind(this, p_target)); }

int Object::startPathFind(PathFind* p_new) {
  // The old search stays until the new one is accepted.
  if (!p_new->isReady() || PathManager::getInstance().addPathFind(p_new) != 0) {
    delete p_new;
    return -1;
  }
  dropPathFind();
  p_path_find = p_new;
  return 0;
}

void Object::dropPathFind() {
  if (!p_path_find)
    return;
  PathManager::getInstance().removePathFind(p_path_find);
  delete p_path_find;
  p_path_find = nullptr;
}

PathFind* Object::getPathFind() const { return p_path_find; }

int Object::eventHandler(const Event* p_e) {
  if (p_e->getType() != PATH_EVENT)
    return 0;
  const EventPath* p_path_event = dynamic_cast<const EventPath*>(p_e);
  if (!p_path_event) {
    LogManager::getInstance().writeLog("Object::eventHandler(): Error! Dynamic cast to EventPath failed.");
    return 0;
  }
  if (p_path_event->getStatus() == PATH_FOUND) {
    setPath(p_path_event->getPath());
    setFollowPath(true);
  }
  dropPathFind();
  return 1;
}

Animation Object::getAnimation() const { return animation; }

void Object::setAnimation(Animation new_animation, bool set_box) {
  animation = new_animation;
  modified[ANIMATION] = true;
  if (set_box) {
    WorldManager::getInstance().getSceneGraph().updateBox(this, animation.getBox());
    box = animation.getBox();
    modified[BOX] = true;
  }
}

int Object::setSprite(std::string sprite_label) {
  Sprite* p_sprite = ResourceManager::getInstance().getSprite(sprite_label);
  if (!p_sprite) {
    LogManager::getInstance().writeLog("Object::setSprite(): Warning! Sprite '%s' not found", sprite_label.c_str());
    return -1;
  }
  animation.setSprite(p_sprite);
  setBox(animation.getBox());
  return 0;
}

Shape Object::getShape() const { return shape; }

void Object::setShape(Shape new_shape) {
  shape = new_shape;
  modified[SHAPE] = true;
}


int Object::draw() {
  int result = animation.draw(position);
  if (shape.getType() != SHAPE_NONE)
    shape.draw(position);
  return result;
}

bool Object::isViewObject() const { return false; }

bool Object::isModified(ObjectAttribute attribute) const {
  int i = static_cast<int>(attribute);
  if (i < 0 || i >= ATTRIBUTE_COUNT)
    return false;
  return modified[i];
}

} // namespace zv
