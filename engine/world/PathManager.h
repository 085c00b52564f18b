// Runs the pending path searches in the time left at the end of each frame
// and hands each finished search's result to its object as a path event.
#ifndef ZV_PATH_MANAGER_H
#define ZV_PATH_MANAGER_H

#include <vector>

#include <zelvra/core/Manager.h>

namespace zv {

class Object;
class PathFind;

class PathManager : public Manager {
 private:
  std::vector<PathFind*> path_finds;  // pending searches; their objects own them
  int min_cycle_time;                 // milliseconds a cycle gets however late the frame

  PathManager();
  PathManager(const PathManager&) = delete;
  void operator=(const PathManager&) = delete;

 public:
  static PathManager& getInstance();
  ~PathManager() override;

  int startUp() override;
  // Pending searches stay: their objects delete them.
  void shutDown() override;

  // Steps the pending searches in turn for max(time_ms, min_cycle_time)
  // milliseconds, delivering each finished one's result to its object.
  void cycle(int time_ms);
  // Appends a search: -1 for null, a search without object, a search
  // already pending, or when not started.
  int addPathFind(PathFind* p_path_find);
  // Removes every entry equal to p_path_find; -1 for null or not pending.
  int removePathFind(PathFind* p_path_find);
  // Searches heading for a deleted object go on towards its cell.
  void forgetTarget(const Object* p_target);

  int getPathFindCount() const;
  bool isPending(const PathFind* p_path_find) const;
  int getMinCycleTime() const;
};

} // namespace zv

#endif
