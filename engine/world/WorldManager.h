// Owns the game world: moves objects, resolves collisions, reports objects
// leaving the world, deletes the marked ones and keeps the view.
#ifndef ZV_WORLD_MANAGER_H
#define ZV_WORLD_MANAGER_H

#include <zelvra/core/Box.h>
#include <zelvra/core/Manager.h>
#include <zelvra/world/ObjectList.h>
#include <zelvra/world/SceneGraph.h>

namespace zv {

class WorldManager : public Manager {
 private:
  SceneGraph scene_graph;
  ObjectList deletions;
  Object* p_view_following;
  Box boundary;
  Box view;
  Vector view_slack;

  WorldManager();
  WorldManager(const WorldManager&) = delete;
  void operator=(const WorldManager&) = delete;
  void followWithView(const Object* p_o);

 public:
  static WorldManager& getInstance();
  ~WorldManager() override;

  int startUp() override;
  // Deletes every object still in the world.
  void shutDown() override;
  bool isValid(std::string event_type) const override;

  int insertObject(Object* p_o);
  int removeObject(Object* p_o);
  ObjectList getAllObjects(bool include_inactive = false) const;
  // The active objects of one type.
  ObjectList objectsOfType(std::string type) const;
  // Active solid objects other than p_o whose boxes meet p_o's box at where.
  ObjectList getCollisions(const Object* p_o, Vector where) const;
  // Deleted at the end of the frame's update; marking twice is harmless.
  int markForDelete(Object* p_o);
  // 0 when the object moved, -1 when it was blocked.
  int moveObject(Object* p_o, Vector where);

  void update();
  // Visible objects from altitude 0 up, those in the view and the view objects.
  void draw();

  void setBoundary(Box new_boundary);
  Box getBoundary() const;
  void setView(Box new_view);
  Box getView() const;
  // Centres the view on center, kept inside the boundary.
  void setViewPosition(Vector center);
  void setViewSlack(Vector new_slack);
  Vector getViewSlack() const;
  // The object the view keeps in sight, or null.
  void setViewFollowing(Object* p_o);
  Object* getViewFollowing() const;

  SceneGraph& getSceneGraph();
};

} // namespace zv

#endif
