#include <zelvra/world/ObjectListIterator.h>

namespace zv {

ObjectListIterator::ObjectListIterator(const ObjectList* p_l) : index(0), p_list(p_l) {}

void ObjectListIterator::first() { index = 0; }

void ObjectListIterator::next() {
  int count = p_list ? p_list->count : 0;
  index = index + 1 < count ? index + 1 : count;
}

bool ObjectListIterator::isDone() const { return !p_list || index >= p_list->count; }

Object* ObjectListIterator::currentObject() const {
  if (isDone())
    return nullptr;
  return p_list->p_obj[index];
}

} // namespace zv
