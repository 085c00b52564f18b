#include <zelvra/world/SceneGraph.h>

#include <zelvra/core/Config.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Utility.h>
#include <zelvra/world/Geometry.h>
#include <zelvra/world/ObjectListIterator.h>

namespace zv {

SceneGraph::SceneGraph() {}

bool SceneGraph::altitudeInRange(int altitude) {
  return valueInRange(static_cast<float>(altitude), 0.0f, static_cast<float>(MAX_ALTITUDE));
}

bool SceneGraph::quiet() { return GameManager::getInstance().getGameOver(); }

int SceneGraph::visibleInsert(Object* p_o, int altitude) {
  if (!altitudeInRange(altitude))
    return -1;
  return visible_objects[altitude].insert(p_o);
}

int SceneGraph::visibleRemove(Object* p_o) {
  int altitude = p_o->getAltitude();
  if (!altitudeInRange(altitude))
    return -1;
  return visible_objects[altitude].remove(p_o);
}

// The grid moves in step with the solid list: a list that holds an object
// twice (inserted twice by hand) outnumbers it, and is then scanned plainly.
int SceneGraph::solidInsert(Object* p_o) {
  if (solid_objects.insert(p_o) != 0)
    return -1;
  grid.insert(p_o);
  return 0;
}

int SceneGraph::solidRemove(Object* p_o) {
  grid.remove(p_o);
  return solid_objects.remove(p_o);
}

int SceneGraph::startUp() {
  type_map.clear();
  LogManager& log = LogManager::getInstance();
  log.writeLog(1, "Scenegraph configuration: SIMPLE");
  grid.setCellSize(Config::getInstance().getGridWidth(), Config::getInstance().getGridHeight());
  return 0;
}

void SceneGraph::shutDown() { type_map.clear(); }

int SceneGraph::insertObject(Object* p_o) {
  LogManager& log = LogManager::getInstance();
  if (!p_o)
    return -1;
  if (!p_o->isActive())
    return inactive_objects.insert(p_o);
  if (objects.insert(p_o) != 0) {
    log.writeLog("SceneGraph::insertObject(): Error! unable to insert active Object (id %d)", p_o->getId());
    return -1;
  }
  ObjectList of_type = type_map[p_o->getType()];
  int result = of_type.insert(p_o);
  type_map[p_o->getType()] = of_type;
  if (result != 0) {
    log.writeLog("SceneGraph::insertObject(): Error! unable to insert Object (id %d) into type map", p_o->getId());
    return -1;
  }
  if (p_o->isSolid() && solidInsert(p_o) != 0) {
    log.writeLog("SceneGraph::insertObject(): Error! unable to insert solid Object (id %d)", p_o->getId());
    return -1;
  }
  if (!p_o->isVisible())
    return 0;
  int altitude = p_o->getAltitude();
  if (!altitudeInRange(altitude)) {
    log.writeLog("SceneGraph::insertObject(): Warning! Altitude %d not in range [%d,%d]", altitude, 0, MAX_ALTITUDE);
    return -1;
  }
  if (visible_objects[altitude].insert(p_o) != 0) {
    log.writeLog("SceneGraph::insertObject(): Error! unable to insert visible object (id %d)", p_o->getId());
    return -1;
  }
  return 0;
}

int SceneGraph::removeObject(Object* p_o) {
  if (!p_o)
    return -1;
  int sum = 0;
  if (!p_o->isActive()) {
    sum = inactive_objects.remove(p_o);
  } else {
    sum += objects.remove(p_o);
    ObjectList of_type = type_map[p_o->getType()];
    sum += of_type.remove(p_o);
    type_map[p_o->getType()] = of_type;
    if (p_o->isVisible()) {
      int altitude = p_o->getAltitude();
      if (altitudeInRange(altitude))
        sum += visible_objects[altitude].remove(p_o);
      else
        sum += -1;
    }
    if (p_o->isSolid())
      sum += solidRemove(p_o);
  }
  if (sum < 0) {
    LogManager::getInstance().writeLog("SceneGraph::removeObject(): Error removing Object (id %d)! Pointer is %p.",
                                       p_o->getId(), static_cast<void*>(p_o));
    return -1;
  }
  return 0;
}

ObjectList SceneGraph::activeObjects() const { return objects; }
ObjectList SceneGraph::inactiveObjects() const { return inactive_objects; }
ObjectList SceneGraph::solidObjects() const { return solid_objects; }

ObjectList SceneGraph::solidObjectsMeeting(Box box, const Object* p_except) const {
  if (grid.getCount() == solid_objects.getCount())
    return grid.meeting(box, p_except);
  ObjectList meeting;
  ObjectListIterator li(&solid_objects);
  for (li.first(); !li.isDone(); li.next()) {
    Object* p_o = li.currentObject();
    if (p_o != p_except && boxIntersectsBox(box, getWorldBox(p_o)))
      meeting.insert(p_o);
  }
  return meeting;
}

ObjectList SceneGraph::visibleObjects(int altitude) const {
  if (!altitudeInRange(altitude)) {
    LogManager::getInstance().writeLog("SceneGraph::visibleObjects(): Warning! altitude %d not in [%d,%d].",
                                       altitude, 0, MAX_ALTITUDE);
    return ObjectList();
  }
  return visible_objects[altitude];
}

ObjectList SceneGraph::objectsOfType(std::string type) const {
  auto it = type_map.find(type);
  if (it == type_map.end())
    return ObjectList();
  return it->second;
}

int SceneGraph::updateActive(Object* p_o, bool new_active) {
  if (new_active == p_o->isActive())
    return 0;
  LogManager& log = LogManager::getInstance();
  std::string type = p_o->getType();
  int result = 0;
  // A quiet failure logs only while the game runs, and counts only then.
  auto fail = [&](const char* message) {
    if (!quiet()) {
      log.writeLog(message, type.c_str());
      result = -1;
    }
  };

  if (!new_active) {
    if (objects.remove(p_o) != 0)
      fail("SceneGraph::updateActive(): remove object (%s) failed for objects!");
    ObjectList of_type = type_map[type];
    if (of_type.remove(p_o) != 0)
      result = -1;
    type_map[type] = of_type;
    if (p_o->isVisible() && visibleRemove(p_o) != 0)
      fail("SceneGraph::updateActive(): remove visible object (%s) failed for visible_objects!");
    if (p_o->isSolid() && solidRemove(p_o) != 0)
      fail("SceneGraph::updateActive(): remove object (%s) failed for solid_objects!");
    if (inactive_objects.insert(p_o) != 0)
      fail("SceneGraph::updateActive(): insert object (%s) failed for inactive_objects!");
  } else {
    if (objects.insert(p_o) != 0)
      fail("SceneGraph::updateActive(): insert Object (%s) failed for objects!");
    ObjectList of_type = type_map[type];
    int inserted = of_type.insert(p_o);
    type_map[type] = of_type;
    if (inserted != 0) {
      log.writeLog("SceneGraph::updateActive(): Error! insert Object (%s) failed for type map!", type.c_str());
      return -1;
    }
    if (p_o->isVisible() && visibleInsert(p_o, p_o->getAltitude()) != 0)
      fail("SceneGraph::updateActive(): insert Object (%s) failed for visible_objects!");
    if (p_o->isSolid() && solidInsert(p_o) != 0)
      fail("SceneGraph::updateActive(): insert object (%s) failed for solid_objects!");
    if (inactive_objects.remove(p_o) != 0)
      fail("SceneGraph::updateActive(): remove object (%s) failed for inactive_objects!");
  }
  return result;
}

int SceneGraph::updateVisible(Object* p_o, bool new_visible) {
  if (!p_o->isActive() || new_visible == p_o->isVisible())
    return 0;
  if (p_o->isVisible()) {
    if (visibleRemove(p_o) != 0 && !quiet()) {
      LogManager::getInstance().writeLog("SceneGraph::updateVisible(): unable to remove visible object (%s)",
                                         p_o->getType().c_str());
      return -1;
    }
  } else {
    if (visibleInsert(p_o, p_o->getAltitude()) != 0 && !quiet()) {
      LogManager::getInstance().writeLog("SceneGraph::updateVisible(): unable to add visible object (%s)",
                                         p_o->getType().c_str());
      return -1;
    }
  }
  return 0;
}

int SceneGraph::updateAltitude(Object* p_o, int new_altitude) {
  LogManager& log = LogManager::getInstance();
  if (!p_o->isActive())
    return 0;
  if (!altitudeInRange(new_altitude)) {
    log.writeLog("SceneGraph::updateAltitude(): New altitude %d not in [%d,%d]!  No update.", new_altitude, 0,
                 MAX_ALTITUDE);
    return -1;
  }
  int old_altitude = p_o->getAltitude();
  if (!altitudeInRange(old_altitude)) {
    log.writeLog("SceneGraph::updateAltitude(): Old altitude %d not in [%d,%d]! This is unxepected. No update.",
                 old_altitude, 0, MAX_ALTITUDE);
    return -1;
  }
  if (p_o->isVisible()) {
    if (visible_objects[old_altitude].remove(p_o) != 0 && !quiet()) {
      log.writeLog("SceneGraph::updateAltitude(): remove from old altitude (%d) failed!", old_altitude);
      return -1;
    }
    if (visible_objects[new_altitude].insert(p_o) != 0) {
      log.writeLog("SceneGraph::updateAltitude()): insert visible object at altitude %d failed!", new_altitude);
      return -1;
    }
  }
  return 0;
}

int SceneGraph::updateSolidness(Object* p_o, Solidness new_solidness) {
  if (!p_o->isActive())
    return 0;
  if (p_o->isSolid() && new_solidness == SPECTRAL) {
    if (solidRemove(p_o) != 0 && !quiet())
      LogManager::getInstance().writeLog("SceneGraph::updateSolidness(): unable to remove solid object (%s)",
                                         p_o->getType().c_str());
  }
  if (!p_o->isSolid() && (new_solidness == HARD || new_solidness == SOFT)) {
    if (solidInsert(p_o) != 0 && !quiet()) {
      LogManager::getInstance().writeLog("SceneGraph::updateSolidness(): Error! unable to insert solid object");
      return -1;
    }
  }
  return 0;
}

int SceneGraph::updateType(Object* p_o, std::string new_type) {
  LogManager& log = LogManager::getInstance();
  std::string old_type = p_o->getType();
  ObjectList old_list = type_map[old_type];
  if (old_list.remove(p_o) != 0) {
    log.writeLog("SceneGraph::updateType(): Error! Unable to remove Object (%d) type %s", p_o->getId(),
                 old_type.c_str());
    return -1;
  }
  type_map[old_type] = old_list;
  ObjectList new_list = type_map[new_type];
  int inserted = new_list.insert(p_o);
  type_map[new_type] = new_list;
  if (inserted != 0) {
    log.writeLog("SceneGraph::updateType(): Error! Unable to insert Object (%d) type %s", p_o->getId(),
                 old_type.c_str());
    return -1;
  }
  return 0;
}

// Objects outside the grid (not solid, inactive, or made before the world
// started) are none of its business; the first two need no box worked out.
void SceneGraph::updatePosition(Object* p_o, Vector new_position) {
  if (p_o->isSolid() && p_o->isActive())
    grid.move(p_o, getWorldBox(p_o, new_position));
}

void SceneGraph::updateBox(Object* p_o, Box new_box) {
  new_box.setCorner(new_box.getCorner() + p_o->getPosition());
  grid.move(p_o, new_box);
}

} // namespace zv
