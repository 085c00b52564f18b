// A growable array of object pointers. Never owns the objects; copying a
// list copies the pointers.
#ifndef ZV_OBJECT_LIST_H
#define ZV_OBJECT_LIST_H

namespace zv {

class Object;
class ObjectListIterator;

class ObjectList {
 private:
  int count;
  int max_count;
  Object** p_obj;

 public:
  friend class ObjectListIterator;

  ObjectList();
  ObjectList(const ObjectList& other);
  ObjectList& operator=(const ObjectList& rhs);
  ~ObjectList();

  // 0, or -1 for a null object or when the list cannot grow.
  int insert(Object* p_o);
  // Removes the first entry equal to p_o, keeping order; -1 when absent.
  int remove(Object* p_o);
  // Empties the list; the capacity stays.
  void clear();
  int getCount() const;
  int getCapacity() const;
  bool isEmpty() const;
  // Appends every object of other (failed appends are skipped).
  ObjectList operator+(ObjectList other) const;
};

} // namespace zv

#endif
