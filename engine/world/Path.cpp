#include <zelvra/world/Path.h>

#include <utility>

namespace zv {

Path::Path() : index(0) {}
Path::Path(std::vector<Vector> init_nodes) : nodes(std::move(init_nodes)), index(0) {}

bool Path::isDone() const { return index >= getNodeCount(); }
int Path::getIndex() const { return index; }

int Path::setIndex(int i) {
  if (i < 0 || i >= getNodeCount())
    return -1;
  index = i;
  return 0;
}

Vector Path::currentNode() const {
  if (isDone() || index < 0)
    return Vector(0, 0);
  return nodes[static_cast<std::size_t>(index)];
}

Path Path::advance() {
  if (index < getNodeCount())
    index++;
  return *this;
}

void Path::setNodes(std::vector<Vector> new_nodes) { nodes = std::move(new_nodes); }
std::vector<Vector> Path::getNodes() const { return nodes; }
int Path::getNodeCount() const { return static_cast<int>(nodes.size()); }

bool Path::operator==(const Path& other) const { return index == other.index && nodes == other.nodes; }
bool Path::operator!=(const Path& other) const { return !(*this == other); }

} // namespace zv
