// A route of world positions with the index of the node being steered for.
#ifndef ZV_PATH_H
#define ZV_PATH_H

#include <vector>

#include <zelvra/core/Vector.h>

namespace zv {

class Path {
 private:
  std::vector<Vector> nodes;
  int index;

 public:
  Path();
  explicit Path(std::vector<Vector> init_nodes);

  // True once every node has been reached (an empty path is done).
  bool isDone() const;
  int getIndex() const;
  // -1 and no change when i is not a node's index.
  int setIndex(int i);
  // The node at the index, or (0,0) when the path is done.
  Vector currentNode() const;
  // Steps to the next node (never past the end); returns the path after the step.
  Path advance();

  // Replaces the nodes; the index stays.
  void setNodes(std::vector<Vector> new_nodes);
  std::vector<Vector> getNodes() const;
  int getNodeCount() const;

  bool operator==(const Path& other) const;
  bool operator!=(const Path& other) const;
};

} // namespace zv

#endif
