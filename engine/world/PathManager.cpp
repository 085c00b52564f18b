#include <zelvra/world/PathManager.h>

#include <algorithm>

#include <zelvra/core/Clock.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/PathFind.h>

namespace zv {

PathManager::PathManager() : min_cycle_time(0) { setType("PathManager"); }
PathManager::~PathManager() {}

PathManager& PathManager::getInstance() {
  static PathManager instance;
  return instance;
}

int PathManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  min_cycle_time = GameManager::getInstance().getFrameTime() / 10;
  Manager::startUp();
  log.writeLog(5, "PathManager::startUp(): successfully started.");
  return 0;
}

void PathManager::shutDown() {
  Manager::shutDown();
  LogManager::getInstance().writeLog(5, "PathManager::shutDown(): successfully stopped.");
}

void PathManager::cycle(int time_ms) {
  int budget = std::max(time_ms, min_cycle_time);
  Clock clock;
  bool out_of_time = false;
  while (!path_finds.empty() && !out_of_time) {
    if (clock.split() / 1000 >= budget)
      break;
    // The object's handler removes and deletes a finished search, so the
    // list is re-read at every index and the search is not touched after.
    for (std::size_t i = 0; i < path_finds.size(); i++) {
      PathFind* p_path_find = path_finds[i];
      int status = p_path_find->cycleOnce();
      if (status == PATH_NONE || status == PATH_FOUND) {
        EventPath event(status, p_path_find->getPath());
        p_path_find->getObject()->eventHandler(&event);
      }
      if (clock.split() / 1000 > budget) {
        out_of_time = true;
        break;
      }
    }
  }
  if (clock.split() / 1000 > budget)
    LogManager::getInstance().writeLog(5, "PathManager::cycle(): cycle time %d exceeded.", budget);
}

int PathManager::addPathFind(PathFind* p_path_find) {
  LogManager& log = LogManager::getInstance();
  if (!p_path_find || !p_path_find->getObject()) {
    log.writeLog("PathManager::addPathFind(): Error! No search, or a search without object.");
    return -1;
  }
  if (!isStarted()) {
    log.writeLog("PathManager::addPathFind(): Error! PathManager not started.");
    return -1;
  }
  if (isPending(p_path_find)) {
    log.writeLog("PathManager::addPathFind(): Warning! Search already pending.");
    return -1;
  }
  path_finds.push_back(p_path_find);
  return 0;
}

int PathManager::removePathFind(PathFind* p_path_find) {
  if (!p_path_find || !isPending(p_path_find))
    return -1;
  path_finds.erase(std::remove(path_finds.begin(), path_finds.end(), p_path_find), path_finds.end());
  return 0;
}

void PathManager::forgetTarget(const Object* p_target) {
  if (!p_target)
    return;
  for (PathFind* p_path_find : path_finds)
    if (p_path_find->getTarget() == p_target)
      p_path_find->clearTarget();
}

int PathManager::getPathFindCount() const { return static_cast<int>(path_finds.size()); }

bool PathManager::isPending(const PathFind* p_path_find) const {
  return std::find(path_finds.begin(), path_finds.end(), p_path_find) != path_finds.end();
}

int PathManager::getMinCycleTime() const { return min_cycle_time; }

} // namespace zv
