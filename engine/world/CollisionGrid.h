// A uniform grid over the plane that finds the solid objects near a box, so
// that a collision search reads a few cells instead of every solid object.
//
// A grid cell is grid_width x grid_height world cells (the configuration's
// keys); a size below 1 falls back to the default 20 x 8, and a huge one
// gives one big cell, a plain scan by another name. The grid has no edge:
// objects outside the world boundary are filed like any other. An object
// lies in every grid cell its box touches, except one spanning more than
// MAX_OBJECT_CELLS cells, which goes to a list read by every search. Cells
// share a table of buckets by hash, at least half as many as objects: a
// search reads one bucket per cell and drops what it does not meet.
//
// Searches answer in the order objects were inserted. The scene graph
// inserts here exactly when it appends to its solid list, and both keep
// order on removal, so that order is the solid list's.
#ifndef ZV_COLLISION_GRID_H
#define ZV_COLLISION_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include <zelvra/core/Box.h>
#include <zelvra/world/ObjectList.h>

namespace zv {

class Object;

const int DEFAULT_GRID_WIDTH = 20;
const int DEFAULT_GRID_HEIGHT = 8;

class CollisionGrid {
 private:
  // Larger objects are cheaper to check on every search than to file.
  static constexpr long long MAX_OBJECT_CELLS = 64;

  // A box as its four edges, the far ones summed as boxIntersectsBox sums
  // them, so that a search compares floats without touching the objects.
  struct Edges {
    float left, top, right, bottom;
    explicit Edges(Box box);
    bool meets(const Edges& other) const;
  };
  // Inclusive cell bounds.
  struct Cells {
    int x0, y0, x1, y1;
    long long count() const;
    bool operator==(const Cells& other) const;
  };
  struct Slot {
    Object* p_o;  // null while the slot is free
    std::uint64_t rank;  // insertion order
    Edges edges;  // of the world box, kept up to date by move
    Cells cells;
  };
  // A bucket keeps its own copy of what a search needs: it then reads
  // buckets front to back instead of jumping between slots.
  struct Entry {
    Object* p_o;
    std::uint64_t rank;
    Edges edges;
  };

  float cell_width;
  float cell_height;
  float per_width;  // 1 / cell_width: a product is cheaper than a quotient
  float per_height;
  std::uint64_t next_rank;
  std::vector<Slot> slots;
  std::vector<int> free_slots;
  int count;
  std::vector<std::vector<Entry>> buckets;  // a power of two of them
  std::vector<Entry> wide;
  mutable std::vector<Entry> found;  // kept between searches for its capacity

  int slotOf(const Object* p_o) const;
  std::size_t bucketOf(int x, int y) const;
  static int cellOf(float position, float per_size);
  Cells cellsOf(const Edges& edges) const;
  void file(int slot);
  void unfile(int slot);
  void refileAll(std::size_t bucket_count);
  void collect(const std::vector<Entry>& list, const Edges& edges, const Object* p_except) const;

 public:
  CollisionGrid();

  // Sets the cell size, both at least 1 (the configuration's range), and
  // re-files every object.
  void setCellSize(int width, int height);

  // Files p_o by its current world box. 0, or -1 for null or an object
  // already in the grid.
  int insert(Object* p_o);
  // 0, or -1 when p_o is not in the grid.
  int remove(Object* p_o);
  // Re-files p_o for the world box it is about to have. 0, or -1 when p_o
  // is not in the grid (not solid, inactive or never inserted).
  int move(const Object* p_o, Box new_world_box);
  int getCount() const;

  // The objects other than p_except whose world boxes meet box, in
  // insertion order.
  ObjectList meeting(Box box, const Object* p_except) const;
};

} // namespace zv

#endif
