// Walks one list in order. The list must outlive the iterator and should
// not change while it is walked; loops that may change the world walk a copy.
#ifndef ZV_OBJECT_LIST_ITERATOR_H
#define ZV_OBJECT_LIST_ITERATOR_H

#include <zelvra/world/ObjectList.h>

namespace zv {

class ObjectListIterator {
 private:
  int index;
  const ObjectList* p_list;

 public:
  explicit ObjectListIterator(const ObjectList* p_l);
  void first();
  void next();
  bool isDone() const;
  // Null when past the end.
  Object* currentObject() const;
};

} // namespace zv

#endif
