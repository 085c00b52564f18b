#include <zelvra/world/WorldManager.h>

#include <cmath>

#include <zelvra/core/LogManager.h>
#include <zelvra/world/EventCollision.h>
#include <zelvra/world/EventOut.h>
#include <zelvra/world/Geometry.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/ObjectListIterator.h>

namespace zv {

WorldManager::WorldManager() : p_view_following(nullptr) { setType("WorldManager"); }
WorldManager::~WorldManager() {}

WorldManager& WorldManager::getInstance() {
  static WorldManager instance;
  return instance;
}

int WorldManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  deletions.clear();
  boundary = Box();
  view = Box();
  view_slack = Vector(0, 0);
  p_view_following = nullptr;
  if (scene_graph.startUp() == -1) {
    log.writeLog("WorldManager::startUp(): Error! Unable to startup Scenegraph");
    return -1;
  }
  Manager::startUp();
  log.writeLog(5, "WorldManager::startUp(): successfully started.");
  return 0;
}

void WorldManager::shutDown() {
  Manager::shutDown();
  ObjectList all = scene_graph.activeObjects() + scene_graph.inactiveObjects();
  ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next())
    delete li.currentObject();
  deletions.clear();
  p_view_following = nullptr;
  scene_graph.shutDown();
  LogManager::getInstance().writeLog(5, "WorldManager::shutDown(): Successfully stopped.");
}

bool WorldManager::isValid(std::string event_type) const {
  LogManager& log = LogManager::getInstance();
  if (event_type == KEYBOARD_EVENT || event_type == MOUSE_EVENT || event_type == STEP_EVENT) {
    log.writeLog("WorldManager::isValid(): WorldManager does not handle %s", event_type.c_str());
    return false;
  }
  if (event_type == OUT_EVENT || event_type == COLLISION_EVENT) {
    log.writeLog("WorldManager::isValid(): Event %s handled automatically.", event_type.c_str());
    return false;
  }
  return true;
}

int WorldManager::insertObject(Object* p_o) {
  if (isStarted())
    return scene_graph.insertObject(p_o);
  LogManager& log = LogManager::getInstance();
  log.writeLog(2, "WorldManager::insertObject(): Warning! Not adding Object %d", p_o ? p_o->getId() : -1);
  log.writeLog(2, "                              because WorldManager not started.");
  return -1;
}

int WorldManager::removeObject(Object* p_o) { return scene_graph.removeObject(p_o); }

ObjectList WorldManager::getAllObjects(bool include_inactive) const {
  if (include_inactive)
    return scene_graph.activeObjects() + scene_graph.inactiveObjects();
  return scene_graph.activeObjects();
}

ObjectList WorldManager::objectsOfType(std::string type) const { return scene_graph.objectsOfType(type); }

ObjectList WorldManager::getCollisions(const Object* p_o, Vector where) const {
  if (!p_o)
    return ObjectList();
  return scene_graph.solidObjectsMeeting(getWorldBox(p_o, where), p_o);
}

int WorldManager::markForDelete(Object* p_o) {
  ObjectListIterator li(&deletions);
  for (li.first(); !li.isDone(); li.next())
    if (li.currentObject() == p_o)
      return 0;
  if (deletions.insert(p_o) != 0) {
    LogManager::getInstance().writeLog("WorldManager::markForDelete(): Error! unable to add Object %p to deletions list",
                                       static_cast<void*>(p_o));
    return -1;
  }
  return 0;
}

namespace {
Object* firstHard(const ObjectList& list) {
  ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next())
    if (li.currentObject()->getSolidness() == HARD)
      return li.currentObject();
  return nullptr;
}
} // namespace

int WorldManager::moveObject(Object* p_o, Vector where) {
  if (!p_o)
    return -1;
  if (p_o->isSolid()) {
    ObjectList collisions = getCollisions(p_o, where);
    if (!collisions.isEmpty()) {
      Object* p_hard = nullptr;
      if (p_o->getSolidness() == HARD && p_o->getAvoidCollisions())
        p_hard = firstHard(collisions);
      if (p_hard) {
        // Slide along the obstacle's face: keep the motion along it, drop the motion into it.
        Vector normal = getNormal(p_o, p_hard);
        Vector d = p_o->getDirection();
        float nx = std::fabs(normal.getX()), ny = std::fabs(normal.getY());
        float x = ny * d.getX();
        float y = nx * d.getY();
        if (nx == 1.0f && ny == 1.0f)
          x = -x;
        Vector velocity(x, y);
        velocity.normalize();
        velocity.scale(p_o->getSpeed());
        Vector target = p_o->getPosition() + velocity;
        ObjectList second = getCollisions(p_o, target);
        if (firstHard(second)) {
          LogManager::getInstance().writeLog(
              5, "WorldManager::moveObject(): Double collision. Object (avoid obstacles) cannot move.");
          return -1;
        }
        collisions = second;
        where = target;
      }

      bool do_move = true;
      ObjectListIterator li(&collisions);
      for (li.first(); !li.isDone(); li.next()) {
        Object* p_other = li.currentObject();
        EventCollision c(p_o, p_other, where);
        p_o->eventHandler(&c);
        p_other->eventHandler(&c);
        if (p_o->getSolidness() == HARD && p_other->getSolidness() == HARD)
          do_move = false;
        if (p_o->getNoSoft() && p_other->getSolidness() == SOFT)
          do_move = false;
      }
      if (!do_move)
        return -1;
    }
  }

  Box before = getWorldBox(p_o);
  p_o->setPosition(where);
  Box after = getWorldBox(p_o);
  if (boxIntersectsBox(before, boundary) && !boxIntersectsBox(after, boundary)) {
    EventOut out;
    p_o->eventHandler(&out);
  }
  if (p_o == p_view_following)
    followWithView(p_o);
  return 0;
}

void WorldManager::followWithView(const Object* p_o) {
  float view_h = view.getHorizontal(), view_v = view.getVertical();
  float cx = view.getCorner().getX() + view_h * 0.5f;
  float cy = view.getCorner().getY() + view_v * 0.5f;
  float half_x = view_h * view_slack.getX() * 0.5f;
  float half_y = view_v * view_slack.getY() * 0.5f;
  float px = p_o->getPosition().getX(), py = p_o->getPosition().getY();
  float left = cx - half_x, right = cx + half_x;
  float top = cy - half_y, bottom = cy + half_y;
  if (px < left)
    cx -= left - px;
  else if (px > right)
    cx += px - right;
  if (py < top)
    cy -= top - py;
  else if (py > bottom)
    cy += py - bottom;
  setViewPosition(Vector(cx, cy));
}

void WorldManager::update() {
  ObjectList active = scene_graph.activeObjects();
  ObjectListIterator li(&active);
  for (li.first(); !li.isDone(); li.next()) {
    Object* p_o = li.currentObject();
    Vector predicted = p_o->predictPosition();
    if (predicted != p_o->getPosition())
      moveObject(p_o, predicted);
    p_o->followPath();
    Vector acceleration = p_o->getAcceleration();
    if (!!acceleration) {
      p_o->setVelocity(p_o->getVelocity() + acceleration);
    }
  }
  ObjectListIterator di(&deletions);
  for (di.first(); !di.isDone(); di.next()) {
    Object* p_o = di.currentObject();
    if (p_o == p_view_following)
      p_view_following = nullptr;
    delete p_o;
  }
  deletions.clear();
}

void WorldManager::draw() {
  for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
    // A copy: drawing may create, hide or move objects.
    ObjectList visible = scene_graph.visibleObjects(altitude);
    ObjectListIterator li(&visible);
    for (li.first(); !li.isDone(); li.next()) {
      Object* p_o = li.currentObject();
      if (p_o->isViewObject() || boxIntersectsBox(getWorldBox(p_o), view))
        p_o->draw();
    }
  }
}

void WorldManager::setBoundary(Box new_boundary) { boundary = new_boundary; }
Box WorldManager::getBoundary() const { return boundary; }
void WorldManager::setView(Box new_view) { view = new_view; }
Box WorldManager::getView() const { return view; }

void WorldManager::setViewPosition(Vector center) {
  float view_h = view.getHorizontal(), view_v = view.getVertical();
  float x = center.getX() - view_h * 0.5f;
  float y = center.getY() - view_v * 0.5f;
  if (x + view_h > boundary.getHorizontal())
    x = boundary.getHorizontal() - view_h;
  if (y + view_v > boundary.getVertical())
    y = boundary.getVertical() - view_v;
  if (x < 0)
    x = 0;
  if (y < 0)
    y = 0;
  view.setCorner(Vector(x, y));
}

void WorldManager::setViewSlack(Vector new_slack) {
  if (new_slack.getX() < 0 || new_slack.getX() > 1 || new_slack.getY() < 0 || new_slack.getY() > 1)
    LogManager::getInstance().writeLog("WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]");
  view_slack = new_slack;
}

Vector WorldManager::getViewSlack() const { return view_slack; }
void WorldManager::setViewFollowing(Object* p_o) { p_view_following = p_o; }
Object* WorldManager::getViewFollowing() const { return p_view_following; }
SceneGraph& WorldManager::getSceneGraph() { return scene_graph; }

} // namespace zv
