// One A* search over the world's grid of whole cells for an object, run a
// cell at a time by the PathManager in the spare time of each frame.
#ifndef ZV_PATH_FIND_H
#define ZV_PATH_FIND_H

#include <vector>

#include <zelvra/core/Vector.h>
#include <zelvra/world/Path.h>

namespace zv {

class Object;

// A world cell: cell (x, y) is the world position (x, y).
struct Cell {
  int x;
  int y;
  bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
  bool operator!=(const Cell& other) const { return !(*this == other); }
};

// Largest grid a search will allocate; bigger worlds are refused.
const int MAX_PATH_CELLS = 1000000;

class PathFind {
 private:
  struct Node {
    float g;  // cost from the start along the best route known
    float f;  // g plus the estimate to the goal
    Cell parent;
    bool open;
    bool closed;
  };

  Object* p_object;
  Object* p_target;
  Cell start;
  Cell goal;
  // The grid is sized once, when the search starts, and never follows later
  // changes of the world boundary: every index stays inside these bounds.
  int width;
  int height;
  std::vector<Node> node_graph;  // row by row, width * height
  std::vector<Cell> open_list;   // in the order found
  std::vector<Cell> closed_list; // in the order expanded
  bool found;

  void init(Vector from, Vector to);
  bool inGrid(Cell c) const;
  Node& node(Cell c);
  const Node& node(Cell c) const;
  bool isBlocked(Cell c, const std::vector<Object*>& nearby) const;
  std::vector<Object*> hardObjectsAround(Cell c) const;

 public:
  // From the object's cell (its position rounded) to the cell of goal.
  PathFind(Object* p_o, Vector goal_position);
  // From the object's cell until its box meets p_target's box; the goal is
  // the target's cell when the search starts.
  PathFind(Object* p_o, Object* p_target);
  ~PathFind();
  PathFind(const PathFind&) = delete;
  PathFind& operator=(const PathFind&) = delete;

  // False when the search could not be set up (the reason is logged); such
  // a search reports 0 at its first step.
  bool isReady() const;

  // Expands one cell: 2 goal reached, 1 still searching, 0 no path.
  int cycleOnce();
  // Start to goal inclusive; empty until the goal is reached.
  Path getPath() const;

  Object* getObject() const;
  Object* getTarget() const;
  // The search goes on towards the goal cell without the target.
  void clearTarget();
  Cell getStart() const;
  Cell getGoal() const;
  int getWidth() const;
  int getHeight() const;
  bool isFound() const;
  std::vector<Cell> getOpenList() const;
  std::vector<Cell> getClosedList() const;
};

} // namespace zv

#endif
