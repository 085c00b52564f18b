#include "WorldFixture.h"
#include "world/SceneGraph.h"

using zv::Object;

class SceneGraphTest : public WorldTest {
 protected:
  zv::SceneGraph& graph() { return zv::WorldManager::getInstance().getSceneGraph(); }
};

TEST_F(SceneGraphTest, NewObjectIsInEveryActiveIndex) {
  Object* p = new Object;
  EXPECT_TRUE(contains(graph().activeObjects(), p));
  EXPECT_TRUE(contains(graph().solidObjects(), p));
  EXPECT_TRUE(contains(graph().visibleObjects(2), p));
  EXPECT_TRUE(contains(graph().objectsOfType("(Undefined)"), p));
  EXPECT_FALSE(contains(graph().inactiveObjects(), p));
  for (int a : {0, 1, 3, 4})
    EXPECT_FALSE(contains(graph().visibleObjects(a), p));
}

TEST_F(SceneGraphTest, DeactivatingMovesToInactiveAndBackToTheEnd) {
  Object* p = new Object;
  Object* q = new Object;
  ASSERT_EQ(p->setActive(false), 0);
  EXPECT_FALSE(contains(graph().activeObjects(), p));
  EXPECT_FALSE(contains(graph().solidObjects(), p));
  EXPECT_FALSE(contains(graph().visibleObjects(2), p));
  EXPECT_FALSE(contains(graph().objectsOfType("(Undefined)"), p));
  EXPECT_TRUE(contains(graph().inactiveObjects(), p));
  ASSERT_EQ(p->setActive(true), 0);
  EXPECT_EQ(order(graph().activeObjects()), (std::vector<Object*>{q, p}));
  EXPECT_EQ(order(graph().solidObjects()), (std::vector<Object*>{q, p}));
  EXPECT_EQ(order(graph().visibleObjects(2)), (std::vector<Object*>{q, p}));
  EXPECT_TRUE(graph().inactiveObjects().isEmpty());
}

TEST_F(SceneGraphTest, VisibilityAltitudeAndSolidnessKeepTheListsRight) {
  Object* p = new Object;
  ASSERT_EQ(p->setVisible(false), 0);
  EXPECT_FALSE(contains(graph().visibleObjects(2), p));
  // Invisible: changing the altitude touches no visible list.
  ASSERT_EQ(p->setAltitude(4), 0);
  for (int a = 0; a <= 4; a++)
    EXPECT_FALSE(contains(graph().visibleObjects(a), p));
  ASSERT_EQ(p->setVisible(true), 0);
  EXPECT_TRUE(contains(graph().visibleObjects(4), p));
  ASSERT_EQ(p->setAltitude(0), 0);
  EXPECT_TRUE(contains(graph().visibleObjects(0), p));
  EXPECT_FALSE(contains(graph().visibleObjects(4), p));

  ASSERT_EQ(p->setSolidness(zv::SOFT), 0);
  EXPECT_TRUE(contains(graph().solidObjects(), p));
  ASSERT_EQ(p->setSolidness(zv::SPECTRAL), 0);
  EXPECT_FALSE(contains(graph().solidObjects(), p));
  ASSERT_EQ(p->setSolidness(zv::HARD), 0);
  EXPECT_TRUE(contains(graph().solidObjects(), p));
}

TEST_F(SceneGraphTest, InactiveObjectsChangeFreely) {
  Object* p = new Object;
  p->setActive(false);
  EXPECT_EQ(p->setAltitude(1), 0);
  EXPECT_EQ(p->setSolidness(zv::SPECTRAL), 0);
  EXPECT_EQ(p->setVisible(false), 0);
  p->setType("Ghost");  // logged by the scene graph, changed anyway
  EXPECT_EQ(p->getType(), "Ghost");
  EXPECT_TRUE(logged("SceneGraph::updateType(): Error! Unable to remove Object"));
  p->setVisible(true);
  ASSERT_EQ(p->setActive(true), 0);
  EXPECT_TRUE(contains(graph().visibleObjects(1), p));
  EXPECT_FALSE(contains(graph().solidObjects(), p));
  EXPECT_TRUE(contains(graph().objectsOfType("Ghost"), p));
}

TEST_F(SceneGraphTest, TypeChangesMoveBetweenTypeLists) {
  Object* p = new Object;
  p->setType("Car");
  EXPECT_TRUE(contains(graph().objectsOfType("Car"), p));
  EXPECT_FALSE(contains(graph().objectsOfType("(Undefined)"), p));
  EXPECT_TRUE(graph().objectsOfType("Never").isEmpty());
}

TEST_F(SceneGraphTest, BadAltitudesAreRefusedWithLogLines) {
  Object* p = new Object;
  EXPECT_TRUE(graph().visibleObjects(5).isEmpty());
  EXPECT_TRUE(graph().visibleObjects(-1).isEmpty());
  EXPECT_TRUE(logged("SceneGraph::visibleObjects(): Warning! altitude 5 not in [0,4]."));
  EXPECT_EQ(graph().updateAltitude(p, 7), -1);
  EXPECT_TRUE(logged("SceneGraph::updateAltitude(): New altitude 7 not in [0,4]!  No update."));
  EXPECT_EQ(p->getAltitude(), 2);
}

TEST_F(SceneGraphTest, RemovingTwiceFailsWithALogLine) {
  Object* p = new Object;
  EXPECT_EQ(graph().removeObject(p), 0);
  EXPECT_EQ(graph().removeObject(p), -1);
  EXPECT_TRUE(logged("SceneGraph::removeObject(): Error removing Object (id"));
  EXPECT_EQ(graph().insertObject(p), 0);
  EXPECT_EQ(graph().insertObject(nullptr), -1);
  EXPECT_EQ(graph().removeObject(nullptr), -1);
}

TEST_F(SceneGraphTest, StartUpLogsConfiguration) {
  zv::GameManager::getInstance().shutDown();
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_TRUE(logged("Scenegraph configuration: SIMPLE"));
}
