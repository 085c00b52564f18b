#include <zelvra/world/ObjectList.h>

#include <cstdlib>
#include <cstring>

namespace zv {

namespace {
Object** allocate(int slots) {
  if (slots <= 0)
    return nullptr;
  return static_cast<Object**>(std::malloc(sizeof(Object*) * static_cast<std::size_t>(slots)));
}
} // namespace

ObjectList::ObjectList() : count(0), max_count(1), p_obj(allocate(1)) {
  if (!p_obj)
    max_count = 0;
}

ObjectList::ObjectList(const ObjectList& other) : count(0), max_count(0), p_obj(nullptr) {
  p_obj = allocate(other.max_count);
  if (p_obj) {
    max_count = other.max_count;
    count = other.count;
    if (count > 0)
      std::memcpy(p_obj, other.p_obj, sizeof(Object*) * static_cast<std::size_t>(count));
  }
}

ObjectList& ObjectList::operator=(const ObjectList& rhs) {
  if (this == &rhs)
    return *this;
  std::free(p_obj);
  count = 0;
  max_count = 0;
  p_obj = allocate(rhs.max_count);
  if (p_obj) {
    max_count = rhs.max_count;
    count = rhs.count;
    if (count > 0)
      std::memcpy(p_obj, rhs.p_obj, sizeof(Object*) * static_cast<std::size_t>(count));
  }
  return *this;
}

ObjectList::~ObjectList() { std::free(p_obj); }

int ObjectList::insert(Object* p_o) {
  if (!p_o)
    return -1;
  if (count == max_count) {
    int new_max = max_count > 0 ? max_count * 2 : 1;
    Object** grown = static_cast<Object**>(
        std::realloc(p_obj, sizeof(Object*) * static_cast<std::size_t>(new_max)));
    if (!grown)
      return -1;
    p_obj = grown;
    max_count = new_max;
  }
  p_obj[count] = p_o;
  count++;
  return 0;
}

int ObjectList::remove(Object* p_o) {
  for (int i = 0; i < count; i++) {
    if (p_obj[i] == p_o) {
      std::memmove(p_obj + i, p_obj + i + 1, sizeof(Object*) * static_cast<std::size_t>(count - i - 1));
      count--;
      return 0;
    }
  }
  return -1;
}

void ObjectList::clear() { count = 0; }
int ObjectList::getCount() const { return count; }
int ObjectList::getCapacity() const { return max_count; }
bool ObjectList::isEmpty() const { return count == 0; }

ObjectList ObjectList::operator+(ObjectList other) const {
  ObjectList sum(*this);
  for (int i = 0; i < other.count; i++)
    sum.insert(other.p_obj[i]);
  return sum;
}

} // namespace zv
