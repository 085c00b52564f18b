#include <zelvra/world/CollisionGrid.h>

#include <algorithm>
#include <cassert>

#include <zelvra/world/Geometry.h>
#include <zelvra/world/Object.h>

namespace zv {

namespace {
// Cell numbers stop here, so that no float overflows an int; far objects
// share the edge cells, which only costs time.
const float CELL_LIMIT = 1073741824.0f;  // 2^30
} // namespace

CollisionGrid::Edges::Edges(Box box) {
  Vector corner = box.getCorner();
  left = corner.getX();
  top = corner.getY();
  right = left + box.getHorizontal();
  bottom = top + box.getVertical();
}

// boxIntersectsBox's comparisons, on the same floats. Combined with & and |
// rather than && and ||: with no branches to guess, a bucket reads faster.
bool CollisionGrid::Edges::meets(const Edges& o) const {
  bool x_overlap = ((o.left <= left) & (left <= o.right)) | ((left <= o.left) & (o.left <= right));
  bool y_overlap = ((o.top <= top) & (top <= o.bottom)) | ((top <= o.top) & (o.top <= bottom));
  return x_overlap & y_overlap;
}

long long CollisionGrid::Cells::count() const {
  return (static_cast<long long>(x1) - x0 + 1) * (static_cast<long long>(y1) - y0 + 1);
}

bool CollisionGrid::Cells::operator==(const Cells& other) const {
  return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
}

CollisionGrid::CollisionGrid()
    : cell_width(static_cast<float>(DEFAULT_GRID_WIDTH)),
      cell_height(static_cast<float>(DEFAULT_GRID_HEIGHT)),
      per_width(1.0f / cell_width),
      per_height(1.0f / cell_height),
      next_rank(0),
      count(0),
      buckets(64) {}

std::size_t CollisionGrid::bucketOf(int x, int y) const {
  assert(!buckets.empty() && (buckets.size() & (buckets.size() - 1)) == 0);
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  return h & (buckets.size() - 1);
}

// Monotone in position, so that boxes that meet always share a cell. NaN
// meets nothing and goes to the lowest cell.
int CollisionGrid::cellOf(float position, float per_size) {
  assert(per_size > 0.0f);
  float q = position * per_size;
  if (!(q >= -CELL_LIMIT))
    return -static_cast<int>(CELL_LIMIT);
  if (q > CELL_LIMIT)
    return static_cast<int>(CELL_LIMIT);
  int cell = static_cast<int>(q);  // towards zero; down to the floor below
  return static_cast<float>(cell) > q ? cell - 1 : cell;
}

// A negative or NaN size leaves the box in its corner's cell, which is all
// that such a box can meet others in.
CollisionGrid::Cells CollisionGrid::cellsOf(const Edges& e) const {
  Cells c;
  c.x0 = cellOf(e.left, per_width);
  c.y0 = cellOf(e.top, per_height);
  c.x1 = std::max(c.x0, cellOf(e.right, per_width));
  c.y1 = std::max(c.y0, cellOf(e.bottom, per_height));
  return c;
}

// A copy of an object carries the original's slot number: the slot must
// point back.
int CollisionGrid::slotOf(const Object* p_o) const {
  if (!p_o || p_o->grid_slot < 0 || p_o->grid_slot >= static_cast<int>(slots.size()) ||
      slots[p_o->grid_slot].p_o != p_o)
    return -1;
  return p_o->grid_slot;
}

void CollisionGrid::file(int slot) {
  const Slot& s = slots[slot];
  Entry entry{s.p_o, s.rank, s.edges};
  if (s.cells.count() > MAX_OBJECT_CELLS) {
    wide.push_back(entry);
    return;
  }
  for (int x = s.cells.x0; x <= s.cells.x1; x++)
    for (int y = s.cells.y0; y <= s.cells.y1; y++)
      buckets[bucketOf(x, y)].push_back(entry);
}

void CollisionGrid::unfile(int slot) {
  const Cells& where = slots[slot].cells;
  const Object* p_o = slots[slot].p_o;
  auto drop = [p_o](std::vector<Entry>& list) {
    auto it = std::find_if(list.begin(), list.end(), [p_o](const Entry& e) { return e.p_o == p_o; });
    assert(it != list.end());
    *it = list.back();
    list.pop_back();
  };
  if (where.count() > MAX_OBJECT_CELLS) {
    drop(wide);
    return;
  }
  for (int x = where.x0; x <= where.x1; x++)
    for (int y = where.y0; y <= where.y1; y++)
      drop(buckets[bucketOf(x, y)]);
}

void CollisionGrid::refileAll(std::size_t bucket_count) {
  buckets.assign(bucket_count, std::vector<Entry>());
  wide.clear();
  for (std::size_t slot = 0; slot < slots.size(); slot++) {
    if (!slots[slot].p_o)
      continue;
    slots[slot].cells = cellsOf(slots[slot].edges);
    file(static_cast<int>(slot));
  }
}

void CollisionGrid::setCellSize(int width, int height) {
  assert(width >= 1 && height >= 1);
  cell_width = static_cast<float>(width);
  cell_height = static_cast<float>(height);
  per_width = 1.0f / cell_width;
  per_height = 1.0f / cell_height;
  refileAll(buckets.size());
}


int CollisionGrid::insert(Object* p_o) {
  if (!p_o || slotOf(p_o) >= 0)
    return -1;
  int slot;
  if (free_slots.empty()) {
    slot = static_cast<int>(slots.size());
    slots.push_back(Slot{nullptr, 0, Edges(Box()), Cells{0, 0, 0, 0}});
  } else {
    slot = free_slots.back();
    free_slots.pop_back();
  }
  Edges edges(getWorldBox(p_o));
  slots[slot] = Slot{p_o, next_rank++, edges, cellsOf(edges)};
  p_o->grid_slot = slot;
  count++;
  // The table grows with the crowd, so that a bucket holds a few cells' worth.
  if (static_cast<std::size_t>(count) > buckets.size() * 2)
    refileAll(buckets.size() * 2);
  else
    file(slot);
  return 0;
}

int CollisionGrid::remove(Object* p_o) {
  int slot = slotOf(p_o);
  if (slot < 0)
    return -1;
  unfile(slot);
  slots[slot].p_o = nullptr;
  free_slots.push_back(slot);
  p_o->grid_slot = -1;
  count--;
  return 0;
}

int CollisionGrid::move(const Object* p_o, Box new_world_box) {
  int slot = slotOf(p_o);
  if (slot < 0)
    return -1;
  Slot& s = slots[slot];
  Edges edges(new_world_box);
  Cells now = cellsOf(edges);
  if (!(now == s.cells) || now.count() > MAX_OBJECT_CELLS) {
    unfile(slot);
    s.edges = edges;
    s.cells = now;
    file(slot);
    return 0;
  }
  // The same cells: only the copies of the edges change, all of them, as
  // two of the object's cells may share a bucket.
  s.edges = edges;
  for (int x = now.x0; x <= now.x1; x++)
    for (int y = now.y0; y <= now.y1; y++)
      for (Entry& e : buckets[bucketOf(x, y)])
        if (e.p_o == p_o)
          e.edges = edges;
  return 0;
}

int CollisionGrid::getCount() const { return count; }

void CollisionGrid::collect(const std::vector<Entry>& list, const Edges& edges, const Object* p_except) const {
  for (const Entry& e : list)
    if (e.edges.meets(edges) && e.p_o != p_except)
      found.push_back(e);
}

ObjectList CollisionGrid::meeting(Box box, const Object* p_except) const {
  found.clear();
  Edges edges(box);
  Cells where = cellsOf(edges);
  if (where.count() > std::max(MAX_OBJECT_CELLS, static_cast<long long>(count))) {
    // A box over more cells than there are objects: reading every slot is cheaper.
    for (std::size_t slot = 0; slot < slots.size(); slot++) {
      const Slot& s = slots[slot];
      if (s.p_o && s.p_o != p_except && s.edges.meets(edges))
        found.push_back(Entry{s.p_o, s.rank, s.edges});
    }
  } else {
    for (int x = where.x0; x <= where.x1; x++)
      for (int y = where.y0; y <= where.y1; y++)
        collect(buckets[bucketOf(x, y)], edges, p_except);
    collect(wide, edges, p_except);
  }
  // An object in several cells, or in cells that share a bucket, is found
  // more than once; its copies sort together.
  std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.rank < b.rank; });
  auto end = std::unique(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.p_o == b.p_o; });
  ObjectList result;
  for (auto it = found.begin(); it != end; ++it)
    result.insert(it->p_o);
  return result;
}

} // namespace zv
