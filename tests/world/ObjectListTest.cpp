#include <gtest/gtest.h>

#include "world/Object.h"
#include "world/ObjectList.h"
#include "world/ObjectListIterator.h"

using zv::Object;
using zv::ObjectList;
using zv::ObjectListIterator;

namespace {
// Objects made while the world is stopped stay outside it.
std::vector<Object*> order(const ObjectList& list) {
  std::vector<Object*> out;
  ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next())
    out.push_back(li.currentObject());
  return out;
}
} // namespace

TEST(ObjectList, GrowsByDoublingAndClearKeepsCapacity) {
  Object a, b, c, d, e;
  ObjectList list;
  EXPECT_EQ(list.getCapacity(), 1);
  EXPECT_TRUE(list.isEmpty());
  for (Object* p : {&a, &b, &c, &d})
    ASSERT_EQ(list.insert(p), 0);
  EXPECT_EQ(list.getCapacity(), 4);
  EXPECT_EQ(list.insert(&e), 0);
  EXPECT_EQ(list.getCapacity(), 8);
  EXPECT_EQ(list.getCount(), 5);
  list.clear();
  EXPECT_TRUE(list.isEmpty());
  EXPECT_EQ(list.getCapacity(), 8);
}

TEST(ObjectList, NullIsRefusedDuplicatesAllowed) {
  Object a;
  ObjectList list;
  EXPECT_EQ(list.insert(nullptr), -1);
  EXPECT_EQ(list.insert(&a), 0);
  EXPECT_EQ(list.insert(&a), 0);
  EXPECT_EQ(list.getCount(), 2);
  EXPECT_EQ(list.remove(&a), 0);
  EXPECT_EQ(list.getCount(), 1);
}

TEST(ObjectList, RemoveKeepsOrder) {
  Object a, b, c, x;
  ObjectList list;
  list.insert(&a);
  list.insert(&b);
  list.insert(&c);
  EXPECT_EQ(list.remove(&b), 0);
  EXPECT_EQ(order(list), (std::vector<Object*>{&a, &c}));
  EXPECT_EQ(list.remove(&x), -1);
  EXPECT_EQ(order(list), (std::vector<Object*>{&a, &c}));
}

TEST(ObjectList, CopiesAreIndependentValues) {
  Object a, b;
  ObjectList one;
  one.insert(&a);
  ObjectList two(one);
  two.insert(&b);
  EXPECT_EQ(one.getCount(), 1);
  EXPECT_EQ(two.getCount(), 2);
  ObjectList three;
  three = two;
  three = three;
  EXPECT_EQ(order(three), (std::vector<Object*>{&a, &b}));
  one = three;
  three.clear();
  EXPECT_EQ(one.getCount(), 2);
}

TEST(ObjectList, SumAppendsTheOtherList) {
  Object a, b, c;
  ObjectList left, right;
  left.insert(&a);
  right.insert(&b);
  right.insert(&c);
  ObjectList sum = left + right;
  EXPECT_EQ(order(sum), (std::vector<Object*>{&a, &b, &c}));
  EXPECT_EQ(left.getCount(), 1);
}

TEST(ObjectListIterator, StopsAtTheEnd) {
  Object a;
  ObjectList list;
  list.insert(&a);
  ObjectListIterator li(&list);
  EXPECT_EQ(li.currentObject(), &a);
  li.next();
  EXPECT_TRUE(li.isDone());
  li.next();
  EXPECT_TRUE(li.isDone());
  EXPECT_EQ(li.currentObject(), nullptr);
  li.first();
  EXPECT_EQ(li.currentObject(), &a);
  ObjectList empty;
  ObjectListIterator ei(&empty);
  EXPECT_TRUE(ei.isDone());
  EXPECT_EQ(ei.currentObject(), nullptr);
}
