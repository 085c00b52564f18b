#include <zelvra/world/PathFind.h>

#include <algorithm>
#include <cmath>

#include <zelvra/core/Box.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/Geometry.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/ObjectListIterator.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {

const float DIAGONAL_STEP = std::sqrt(2.0f);

// The cell nearest to a position, if it lies in a width x height grid.
// Written so that NaN and huge values fall outside before any conversion.
bool cellOf(Vector p, int width, int height, Cell& out) {
  double x = std::floor(static_cast<double>(p.getX()) + 0.5);
  double y = std::floor(static_cast<double>(p.getY()) + 0.5);
  if (!(x >= 0.0 && x < width && y >= 0.0 && y < height))
    return false;
  out = Cell{static_cast<int>(x), static_cast<int>(y)};
  return true;
}

float distance(Cell a, Cell b) {
  float dx = static_cast<float>(a.x - b.x);
  float dy = static_cast<float>(a.y - b.y);
  return std::sqrt(dx * dx + dy * dy);
}

} // namespace

PathFind::PathFind(Object* p_o, Vector goal_position)
    : p_object(p_o), p_target(nullptr), start{0, 0}, goal{0, 0}, width(0), height(0), found(false) {
  if (!p_object) {
    LogManager::getInstance().writeLog("PathFind::PathFind(): Error! No object to search for.");
    return;
  }
  init(p_object->getPosition(), goal_position);
}

PathFind::PathFind(Object* p_o, Object* p_target_object)
    : p_object(p_o), p_target(p_target_object), start{0, 0}, goal{0, 0}, width(0), height(0), found(false) {
  if (!p_object) {
    LogManager::getInstance().writeLog("PathFind::PathFind(): Error! No object to search for.");
    return;
  }
  if (!p_target) {
    LogManager::getInstance().writeLog("PathFind::PathFind(): Error! No target to search for.");
    return;
  }
  init(p_object->getPosition(), p_target->getPosition());
}

PathFind::~PathFind() {}

void PathFind::init(Vector from, Vector to) {
  LogManager& log = LogManager::getInstance();
  Box boundary = WorldManager::getInstance().getBoundary();
  float columns = boundary.getHorizontal(), rows = boundary.getVertical();
  if (!(columns >= 1.0f && rows >= 1.0f)) {
    log.writeLog("PathFind::PathFind(): Error! The world has no cells to search.");
    return;
  }
  if (columns > MAX_PATH_CELLS || rows > MAX_PATH_CELLS ||
      static_cast<long long>(columns) * static_cast<long long>(rows) > MAX_PATH_CELLS) {
    log.writeLog("PathFind::PathFind(): Error! World of %.0f x %.0f cells is larger than %d cells.", columns, rows,
                 MAX_PATH_CELLS);
    return;
  }
  int w = static_cast<int>(columns), h = static_cast<int>(rows);
  Cell s, g;
  if (!cellOf(from, w, h, s)) {
    log.writeLog("PathFind::PathFind(): Error! Start (%.2f,%.2f) outside the %d x %d world.", from.getX(),
                 from.getY(), w, h);
    return;
  }
  if (!cellOf(to, w, h, g)) {
    log.writeLog("PathFind::PathFind(): Error! Goal (%.2f,%.2f) outside the %d x %d world.", to.getX(), to.getY(),
                 w, h);
    return;
  }
  width = w;
  height = h;
  start = s;
  goal = g;
  node_graph.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                    Node{0.0f, 0.0f, Cell{-1, -1}, false, false});
}

bool PathFind::isReady() const { return !node_graph.empty(); }

bool PathFind::inGrid(Cell c) const { return c.x >= 0 && c.x < width && c.y >= 0 && c.y < height; }

PathFind::Node& PathFind::node(Cell c) {
  return node_graph[static_cast<std::size_t>(c.y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(c.x)];
}

const PathFind::Node& PathFind::node(Cell c) const {
  return node_graph[static_cast<std::size_t>(c.y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(c.x)];
}

// A cell is blocked when the first HARD object the object would collide
// with there does not cover the goal: a search may end on the thing it is
// heading for. nearby holds, in the world's order, every HARD object that
// could meet the object anywhere around the current cell; the test per cell
// is the collision test itself.
bool PathFind::isBlocked(Cell c, const std::vector<Object*>& nearby) const {
  Box here = getWorldBox(p_object, Vector(static_cast<float>(c.x), static_cast<float>(c.y)));
  for (Object* p_hard : nearby) {
    Box box = getWorldBox(p_hard);
    if (boxIntersectsBox(here, box))
      return !boxContainsPosition(box, Vector(static_cast<float>(goal.x), static_cast<float>(goal.y)));
  }
  return false;
}

// One pass over the solid objects per step instead of one per neighbour.
// Plain float bounds with a margin keep it cheap; it may keep an object too
// many, never one too few.
std::vector<Object*> PathFind::hardObjectsAround(Cell c) const {
  const float margin = 0.25f;
  Box own = p_object->getBox();
  float left = own.getCorner().getX() + static_cast<float>(c.x - 1) - margin;
  float top = own.getCorner().getY() + static_cast<float>(c.y - 1) - margin;
  float right = left + own.getHorizontal() + 2.0f + 2.0f * margin;
  float bottom = top + own.getVertical() + 2.0f + 2.0f * margin;
  std::vector<Object*> nearby;
  ObjectList solid = WorldManager::getInstance().getSceneGraph().solidObjects();
  ObjectListIterator li(&solid);
  for (li.first(); !li.isDone(); li.next()) {
    Object* p_other = li.currentObject();
    if (p_other == p_object || p_other->getSolidness() != HARD)
      continue;
    Box box = p_other->getBox();
    Vector where = p_other->getPosition();
    float x = box.getCorner().getX() + where.getX(), y = box.getCorner().getY() + where.getY();
    if (x <= right && x + box.getHorizontal() >= left && y <= bottom && y + box.getVertical() >= top)
      nearby.push_back(p_other);
  }
  return nearby;
}

int PathFind::cycleOnce() {
  if (node_graph.empty()) {
    LogManager::getInstance().writeLog("PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
    return PATH_NONE;
  }
  if (found)
    return PATH_FOUND;

  // Smallest f, scanning from the most recently found cell backwards and
  // replacing only on a strictly smaller f: ties go to the later cell.
  Cell current = start;
  if (!open_list.empty()) {
    std::size_t best = open_list.size() - 1;
    for (std::size_t i = open_list.size() - 1; i-- > 0;)
      if (node(open_list[i]).f < node(open_list[best]).f)
        best = i;
    current = open_list[best];
    open_list.erase(open_list.begin() + static_cast<std::ptrdiff_t>(best));
    node(current).open = false;
  }
  closed_list.push_back(current);
  node(current).closed = true;

  if (current == goal)
    found = true;
  if (p_target) {
    Box here = getWorldBox(p_object, Vector(static_cast<float>(current.x), static_cast<float>(current.y)));
    Box there = getWorldBox(p_target, Vector(static_cast<float>(goal.x), static_cast<float>(goal.y)));
    if (boxIntersectsBox(here, there)) {
      found = true;
      goal = current;
    }
  }
  if (found)
    return PATH_FOUND;

  // The world does not change within one step, so each neighbour's blocking
  // is worked out at most once here.
  std::vector<Object*> nearby = hardObjectsAround(current);
  signed char blocked_memo[3][3];
  for (auto& row : blocked_memo)
    for (signed char& b : row)
      b = -1;
  auto blocked = [&](int dx, int dy) {
    signed char& b = blocked_memo[dy + 1][dx + 1];
    if (b < 0)
      b = isBlocked(Cell{current.x + dx, current.y + dy}, nearby) ? 1 : 0;
    return b == 1;
  };

  for (int dy = -1; dy <= 1; dy++) {
    for (int dx = -1; dx <= 1; dx++) {
      if (dx == 0 && dy == 0)
        continue;
      Cell next{current.x + dx, current.y + dy};
      if (!inGrid(next) || node(next).closed || blocked(dx, dy))
        continue;
      bool diagonal = dx != 0 && dy != 0;
      // A corner between two blocked cells cannot be cut.
      if (diagonal && blocked(dx, 0) && blocked(0, dy))
        continue;
      float cost = node(current).g + (diagonal ? DIAGONAL_STEP : 1.0f);
      Node& n = node(next);
      if (n.open) {
        if (cost > n.g)
          continue;
      } else {
        open_list.push_back(next);
        n.open = true;
      }
      n.parent = current;
      n.g = cost;
      n.f = cost + distance(next, goal);
    }
  }
  return open_list.empty() ? PATH_NONE : PATH_SEARCHING;
}

Path PathFind::getPath() const {
  if (!found)
    return Path();
  std::vector<Vector> nodes;
  Cell c = goal;
  // Parents always lead back to the start; the bound only guards the walk.
  for (std::size_t steps = 0; c != start; steps++) {
    if (steps >= node_graph.size() || !inGrid(c))
      return Path();
    nodes.push_back(Vector(static_cast<float>(c.x), static_cast<float>(c.y)));
    c = node(c).parent;
  }
  nodes.push_back(Vector(static_cast<float>(start.x), static_cast<float>(start.y)));
  std::reverse(nodes.begin(), nodes.end());
  return Path(nodes);
}

Object* PathFind::getObject() const { return p_object; }
Object* PathFind::getTarget() const { return p_target; }
void PathFind::clearTarget() { p_target = nullptr; }
Cell PathFind::getStart() const { return start; }
Cell PathFind::getGoal() const { return goal; }
int PathFind::getWidth() const { return width; }
int PathFind::getHeight() const { return height; }
bool PathFind::isFound() const { return found; }
std::vector<Cell> PathFind::getOpenList() const { return open_list; }
std::vector<Cell> PathFind::getClosedList() const { return closed_list; }

} // namespace zv
