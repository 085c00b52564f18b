#include <functional>

#include "WorldFixture.h"
#include "world/SceneGraph.h"

using zv::Object;
using zv::ObjectList;
using Objects = std::vector<Object*>;

// Lists of objects made while the world is stopped, so that they stay outside it.
TEST(ObjectList, GrowsByDoublingAndKeepsOrder) {
  Object a, b, c, d, e;
  ObjectList list;
  EXPECT_EQ(list.insert(nullptr), -1);
  for (Object* p : {&a, &b, &c, &d})
    ASSERT_EQ(list.insert(p), 0);
  EXPECT_EQ(list.getCapacity(), 4);
  EXPECT_EQ(list.insert(&b), 0);  // duplicates are allowed
  EXPECT_EQ(list.getCapacity(), 8);
  EXPECT_EQ(list.remove(&b), 0);  // the first one goes
  EXPECT_EQ(WorldTest::order(list), (Objects{&a, &c, &d, &b}));
  EXPECT_EQ(list.remove(&e), -1);
  EXPECT_EQ(list.getCount(), 4);
  // Copies are values: they share no array.
  ObjectList copy(list), assigned;
  assigned = copy;
  assigned = assigned;
  copy.insert(&e);
  list.clear();
  EXPECT_TRUE(list.isEmpty());
  EXPECT_EQ(list.getCapacity(), 8);
  EXPECT_EQ(WorldTest::order(assigned + copy), (Objects{&a, &c, &d, &b, &a, &c, &d, &b, &e}));
  // An iterator stops at the end and stays there.
  zv::ObjectListIterator li(&copy);
  for (int i = 0; i < 4; i++)
    li.next();
  EXPECT_FALSE(li.isDone());
  li.next();
  li.next();
  EXPECT_TRUE(li.isDone());
  EXPECT_EQ(li.currentObject(), nullptr);
  li.first();
  EXPECT_EQ(li.currentObject(), &a);
}

class SceneGraphTest : public WorldTest {
 protected:
  zv::SceneGraph& graph = zv::WorldManager::getInstance().getSceneGraph();
  // Which lists hold p: active, solid, visible at 0..4, inactive, of its type.
  std::string where(Object* p) {
    std::string out;
    out += has(graph.activeObjects(), p) ? "A" : "-";
    out += has(graph.solidObjects(), p) ? "S" : "-";
    for (int a = 0; a <= 4; a++)
      out += has(graph.visibleObjects(a), p) ? std::to_string(a) : "-";
    out += has(graph.inactiveObjects(), p) ? "I" : "-";
    out += has(graph.objectsOfType(p->getType()), p) ? "T" : "-";
    return out;
  }
};

TEST_F(SceneGraphTest, AttributeChangesKeepTheListsRight) {
  Object* p = new Object;
  Object* q = new Object;
  const struct {
    const char* what;
    std::function<int()> change;
    const char* lists;
  } steps[] = {
      {"new", [] { return 0; }, "AS--2---T"},
      {"inactive", [&] { return p->setActive(false); }, "-------I-"},
      {"active again", [&] { return p->setActive(true); }, "AS--2---T"},
      {"invisible", [&] { return p->setVisible(false); }, "AS------T"},
      {"altitude while invisible", [&] { return p->setAltitude(4); }, "AS------T"},
      {"visible", [&] { return p->setVisible(true); }, "AS----4-T"},
      {"altitude", [&] { return p->setAltitude(0); }, "AS0-----T"},
      {"soft", [&] { return p->setSolidness(zv::SOFT); }, "AS0-----T"},
      {"spectral", [&] { return p->setSolidness(zv::SPECTRAL); }, "A-0-----T"},
      {"hard", [&] { return p->setSolidness(zv::HARD); }, "AS0-----T"},
      {"type", [&] { p->setType("Car"); return 0; }, "AS0-----T"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    EXPECT_EQ(s.change(), 0);
    EXPECT_EQ(where(p), s.lists);
  }
  EXPECT_EQ(order(graph.objectsOfType("(Undefined)")), (Objects{q}));
  // Coming back to life, and a new box, put it at the end of its lists.
  EXPECT_EQ(order(graph.activeObjects()), (Objects{q, p}));
  q->setBox(zv::Box(zv::Vector(-1, -1), 2, 2));
  EXPECT_EQ(order(graph.activeObjects()), (Objects{p, q}));
  EXPECT_EQ(order(graph.solidObjects()), (Objects{p, q}));
}

TEST_F(SceneGraphTest, InactiveObjectsChangeFreely) {
  Object* p = new Object;
  p->setActive(false);
  EXPECT_EQ(p->setAltitude(1), 0);
  EXPECT_EQ(p->setSolidness(zv::SPECTRAL), 0);
  EXPECT_EQ(p->setVisible(false), 0);
  EXPECT_EQ(p->setVisible(true), 0);
  p->setType("Ghost");  // refused by the scene graph with a log line, changed anyway
  EXPECT_TRUE(logged("SceneGraph::updateType(): Error! Unable to remove Object"));
  EXPECT_EQ(where(p), "-------I-");
  ASSERT_EQ(p->setActive(true), 0);
  EXPECT_EQ(where(p), "A--1----T");
}

TEST_F(SceneGraphTest, BadAltitudesAndRemovalsAreRefused) {
  Object* p = new Object;
  EXPECT_TRUE(graph.visibleObjects(5).isEmpty());
  EXPECT_TRUE(graph.visibleObjects(-1).isEmpty());
  EXPECT_TRUE(logged("SceneGraph::visibleObjects(): Warning! altitude 5 not in [0,4]."));
  EXPECT_EQ(graph.updateAltitude(p, 7), -1);
  EXPECT_TRUE(logged("SceneGraph::updateAltitude(): New altitude 7 not in [0,4]!  No update."));
  EXPECT_EQ(graph.removeObject(p), 0);
  EXPECT_EQ(graph.removeObject(p), -1);
  EXPECT_TRUE(logged("SceneGraph::removeObject(): Error removing Object (id"));
  EXPECT_EQ(graph.insertObject(p), 0);
  EXPECT_EQ(where(p), "AS--2---T");
  EXPECT_EQ(graph.insertObject(nullptr), -1);
}
