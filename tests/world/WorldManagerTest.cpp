#include <cmath>
#include <functional>
#include <random>

#include "WindowCapture.h"
#include "WorldFixture.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/resources/ResourceManager.h>
#include <zelvra/world/EventCollision.h>
#include <zelvra/world/Geometry.h>
#include <zelvra/world/SceneGraph.h>

using zv::Box;
using zv::Object;
using zv::Vector;
using zv::WorldManager;
using Objects = std::vector<Object*>;

namespace {

struct Hit { Object *receiver, *obj1, *obj2; Vector where; };
Objects drawn;

// Records collisions (in one shared list, to see their order), out events
// and drawing.
class Body : public Object {
 public:
  std::vector<Hit>* hits;
  int outs = 0;
  bool view_object = false;
  Body(std::vector<Hit>* shared, zv::Solidness s, Vector at, int altitude = 2) : hits(shared) {
    setSolidness(s);
    setPosition(at);
    setAltitude(altitude);
  }
  int eventHandler(const zv::Event* p_e) override {
    outs += p_e->getType() == zv::OUT_EVENT;
    if (p_e->getType() != zv::COLLISION_EVENT)
      return 0;
    auto c = static_cast<const zv::EventCollision*>(p_e);
    hits->push_back({this, c->getObject1(), c->getObject2(), c->getPosition()});
    return 1;
  }
  int draw() override {
    drawn.push_back(this);
    return Object::draw();
  }
  bool isViewObject() const override { return view_object; }
};

} // namespace

// Only HARD stops HARD, and SOFT stops a mover with no_soft; both objects
// hear of it, mover first; SPECTRAL neither collides nor stops.
TEST_F(WorldTest, CollisionsByClass) {
  const struct { zv::Solidness mover, other; bool no_soft; int result; } cases[] = {
      {zv::HARD, zv::HARD, false, -1}, {zv::HARD, zv::SOFT, false, 0},    {zv::HARD, zv::SOFT, true, -1},
      {zv::SOFT, zv::HARD, true, 0},   {zv::SPECTRAL, zv::HARD, false, 0}, {zv::HARD, zv::SPECTRAL, true, 0}};
  float y = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(y += 3);
    std::vector<Hit> hits;
    Body* mover = new Body(&hits, c.mover, Vector(5, y));
    Body* other = new Body(&hits, c.other, Vector(7, y));
    if (c.no_soft)  // otherwise as a new object has it
      mover->setNoSoft();
    EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6.5f, y)), c.result);
    EXPECT_EQ(mover->getPosition(), Vector(c.result ? 5 : 6.5f, y));
    ASSERT_EQ(hits.size(), c.mover != zv::SPECTRAL && c.other != zv::SPECTRAL ? 2u : 0u);
    for (std::size_t i = 0; i < hits.size(); i++) {
      EXPECT_EQ(hits[i].receiver, i ? other : mover);
      EXPECT_TRUE(hits[i].obj1 == mover && hits[i].obj2 == other && hits[i].where == Vector(6.5f, y));
    }
  }
  std::vector<Hit> hits;  // every object hit hears of it, even after the move is refused
  Body* mover = new Body(&hits, zv::HARD, Vector(5, 50));
  new Body(&hits, zv::HARD, Vector(6, 50));
  Body* cone = new Body(&hits, zv::SOFT, Vector(6, 50.5f));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6, 50)), -1);
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(hits[3].receiver, cone);
}

TEST_F(WorldTest, AvoidanceSlidesAlongTheFaceUnlessThatHitsToo) {
  std::vector<Hit> hits;
  WorldManager& wm = WorldManager::getInstance();
  new Body(&hits, zv::HARD, Vector(7, 5));
  Body* mover = new Body(&hits, zv::HARD, Vector(5.5f, 5));
  mover->setAvoidCollisions(true);
  mover->setVelocity(Vector(1, 0));  // straight into the wall's left face: nothing is left
  EXPECT_EQ(wm.moveObject(mover, Vector(6.5f, 5)), 0);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5));
  mover->setVelocity(Vector(1, 0.5f));  // down-right: the full speed goes downwards
  EXPECT_EQ(wm.moveObject(mover, mover->predictPosition()), 0);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5.0f + std::sqrt(1.25f)));
  EXPECT_TRUE(hits.empty() && mover->getDirection().getX() > 0.89f);  // its own motion is kept
  mover->setPosition(Vector(5.5f, 5));
  new Body(&hits, zv::HARD, Vector(5.5f, 6.2f));  // where it would slide to
  EXPECT_EQ(wm.moveObject(mover, mover->predictPosition()), -1);
}

// Moves over random scenes raise the events that a plain scan of the solid
// list gives, in its order, whatever the grid's cell size (silly ones too):
// with boxes wider than a cell, far moves, objects outside the boundary, and
// boxes, solidness, activity and the population changing meanwhile.
TEST_F(WorldTest, CollisionsAreThoseOfAPlainScan) {
  WorldManager& wm = WorldManager::getInstance();
  const char* grids[] = {"", "grid_width:1,grid_height:1,", "grid_width:2147483647,grid_height:3,",
                         "grid_width:7,grid_height:2,"};
  for (unsigned seed = 0; seed < 24; seed++) {
    SCOPED_TRACE(seed);
    zv::GameManager::getInstance().shutDown();
    ASSERT_EQ(zvtest::startHeadless(grids[seed % 4]), 0);
    std::mt19937 rng(seed);
    auto pick = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    std::vector<Hit> hits;
    Objects all;
    for (int step = 0; step < 600; step++) {
      if (all.size() < 40 || rng() % 20 == 0)
        all.push_back(new Body(&hits, zv::Solidness(rng() % 3), Vector(pick(-20, 100), pick(-10, 34))));
      Object* p = all[rng() % all.size()];
      switch (rng() % 8) {
        case 0:  // a sprite's box comes with its animation (here the default box)
          if (rng() % 2)
            p->setBox(Box(Vector(pick(-3, 0), pick(-3, 0)), pick(-1, 30), pick(0, 12)));
          else
            p->setAnimation(zv::Animation());
          break;
        case 1: p->setSolidness(zv::Solidness(rng() % 3)); break;
        case 2: p->setActive(!p->isActive()); break;
        case 3:
          wm.markForDelete(p);
          wm.update();
          all.erase(std::find(all.begin(), all.end(), p));
          break;
        default: {
          float reach = rng() % 4 ? 3 : 300;
          Vector where = p->getPosition() + Vector(pick(-reach, reach), pick(-reach, reach));
          std::vector<std::array<Object*, 2>> expected, got;
          Box box = zv::getWorldBox(p, where);
          for (Object* q : zvtest::objectsIn(wm.getSceneGraph().solidObjects()))
            if (q != p && p->isSolid() && zv::boxIntersectsBox(box, zv::getWorldBox(q)))
              expected.insert(expected.end(), {{p, q}, {q, q}});
          hits.clear();
          wm.moveObject(p, where);
          for (const Hit& h : hits)
            got.push_back({h.receiver, h.obj2});
          ASSERT_EQ(got, expected) << step;
        }
      }
    }
  }
  // Inserted twice by hand, an object is met twice, as the solid list holds it twice.
  Object *a = at(500, 500), *b = at(500, 500);
  wm.insertObject(b);
  EXPECT_EQ(zvtest::objectsIn(wm.getCollisions(a, a->getPosition())), (Objects{b, b}));
  wm.removeObject(b);
  EXPECT_EQ(zvtest::objectsIn(wm.getCollisions(a, a->getPosition())), (Objects{b}));
}

TEST_F(WorldTest, UpdateMovesAcceleratesDeletesAndTellsWhoLeaves) {
  std::vector<Hit> hits;
  WorldManager& wm = WorldManager::getInstance();
  Object* p = at(10, 10, zv::SPECTRAL);
  p->setVelocity(Vector(1, 0));
  p->setAcceleration(Vector(0, 0.5f));
  Object* doomed = at(5, 5);
  EXPECT_EQ((Codes{wm.markForDelete(doomed), wm.markForDelete(doomed)}), (Codes{0, 0}));  // deleted once, at the end
  Body* leaving = new Body(&hits, zv::SPECTRAL, Vector(5, 15));
  leaving->setVelocity(Vector(-4, 0));
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(11, 10));  // acceleration acts from the next move
  EXPECT_EQ(zvtest::objectsIn(wm.getAllObjects(true)), (Objects{p, leaving}));
  EXPECT_EQ(leaving->outs, 0);  // at x = 1, still inside
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(12, 10.5f));
  EXPECT_EQ(leaving->outs, 1);  // on the move that took it wholly outside, and only then
  wm.update();
  EXPECT_EQ(leaving->outs, 1);
}

TEST_F(WorldTest, StartAndShutDownBoundTheWorld) {
  WorldManager& wm = WorldManager::getInstance();
  EXPECT_EQ(wm.startUp(), -1);
  EXPECT_EQ((Codes{wm.moveObject(nullptr, Vector(1, 1)), wm.markForDelete(nullptr)}), (Codes{-1, -1}));
  EXPECT_TRUE(zvtest::logContains("WorldManager::markForDelete(): Error! unable to add Object"));
  for (const char* type : {"zv-collision", "zv-out", "zv-step", "zv-keyboard", "zv-mouse"})
    EXPECT_FALSE(wm.isValid(type)) << type;
  EXPECT_TRUE(wm.isValid("my-event"));
  EXPECT_TRUE(zvtest::logContains("WorldManager::isValid(): Event zv-collision handled automatically."));
  EXPECT_TRUE(zvtest::logContains("WorldManager::isValid(): WorldManager does not handle zv-step"));
  at(1, 1)->registerInterest(zv::STEP_EVENT);
  at(2, 2)->setActive(false);
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
}

TEST_F(WorldTest, ViewIsClampedToTheBoundaryAndFollowsAnObject) {
  WorldManager& wm = WorldManager::getInstance();
  wm.setBoundary(Box(Vector(0, 0), 100, 50));
  wm.setView(Box(Vector(0, 0), 10, 10));
  for (auto p : {std::make_pair(Vector(2, 2), Vector(0, 0)), std::make_pair(Vector(99, 49), Vector(90, 40))}) {
    wm.setViewPosition(p.first);
    EXPECT_EQ(wm.getView().getCorner(), p.second);
  }
  wm.setBoundary(Box(Vector(0, 0), 200, 100));
  wm.setView(Box(Vector(0, 0), 80, 24));
  wm.setViewSlack(Vector(0.5f, 0.5f));
  Object* p = at(40, 12, zv::SPECTRAL);
  wm.setViewFollowing(p);
  wm.moveObject(p, Vector(55, 12));  // the band is 20..60 on x: no scroll
  EXPECT_EQ(wm.getView().getCorner(), Vector(0, 0));
  wm.moveObject(p, Vector(70, 20));  // 10 right of the band, 2 below it
  EXPECT_EQ(wm.getView().getCorner(), Vector(10, 2));
  wm.setViewSlack(Vector(1.5f, 0.5f));
  EXPECT_TRUE(zvtest::logContains("WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]"));
}

// Closed intervals: boxes that only touch intersect.
TEST(Geometry, BoxesIntersectOnBothAxes) {
  const Box a(Vector(0, 0), 2, 2);
  const struct { float x, y, h, v; bool meets; } cases[] = {
      {2, 2, 1, 1, true},      {-1, 1, 1, 5, true},     {2.01f, 0, 1, 1, false},
      {-1.5f, 0, 1, 1, false}, {0, -1.5f, 1, 1, false}, {0, 2.01f, 1, 1, false}};
  for (const auto& c : cases) {
    Box b(Vector(c.x, c.y), c.h, c.v);
    EXPECT_TRUE(zv::boxIntersectsBox(a, b) == c.meets && zv::boxIntersectsBox(b, a) == c.meets) << c.x << "," << c.y;
  }
  EXPECT_TRUE(zv::boxContainsPosition(a, Vector(2, 0)) && !zv::boxContainsPosition(a, Vector(2, 2.1f)));
  Object mover, other;  // falling straight onto the other from above: above it, after the seven halvings
  other.setPosition(Vector(10, 10)), mover.setPosition(Vector(10.125f, 7.625f)), mover.setVelocity(Vector(0, 1.75f));
  EXPECT_EQ(zv::getNormal(&mover, &other), Vector(0, -1));
}

// Of objects made while the world is stopped, so that they stay outside it.
TEST(ObjectList, GrowsByDoublingAndKeepsOrder) {
  Object a, b, c, d, e;
  zv::ObjectList list;
  EXPECT_EQ(list.insert(nullptr), -1);
  for (Object* p : {&a, &b, &c, &d, &b})  // duplicates are allowed
    ASSERT_EQ(list.insert(p), 0);
  EXPECT_EQ(list.getCapacity(), 8);
  EXPECT_EQ((Codes{list.remove(&b), list.remove(&e)}), (Codes{0, -1}));  // the first b goes; e is not there
  zv::ObjectList copy(list);  // a value: it shares no array
  list.clear();
  EXPECT_TRUE(list.isEmpty() && list.getCapacity() == 8);
  EXPECT_EQ(zvtest::objectsIn(copy + copy), (Objects{&a, &c, &d, &b, &a, &c, &d, &b}));
}

class SceneGraphTest : public WorldTest {
 protected:
  zv::SceneGraph& graph = WorldManager::getInstance().getSceneGraph();
  // The lists holding p: active, solid, visible at 0..4, inactive, of its type.
  std::string where(Object* p) {
    auto has = [p](const zv::ObjectList& list, const std::string& mark) {
      Objects all = zvtest::objectsIn(list);
      return std::find(all.begin(), all.end(), p) != all.end() ? mark : "-";
    };
    std::string out = has(graph.activeObjects(), "A") + has(graph.solidObjects(), "S");
    for (int a = 0; a <= 4; a++)
      out += has(graph.visibleObjects(a), std::to_string(a));
    return out + has(graph.inactiveObjects(), "I") + has(graph.objectsOfType(p->getType()), "T");
  }
};

TEST_F(SceneGraphTest, ChangesKeepTheListsRightAndBadOnesAreRefused) {
  Object* p = new Object;
  Object* q = new Object;
  const std::pair<std::function<Codes()>, const char*> steps[] = {
      {[] { return Codes{}; }, "AS--2---T"},
      {[&] { return Codes{p->setActive(false)}; }, "-------I-"},
      {[&] { return Codes{p->setActive(true)}; }, "AS--2---T"},
      {[&] { return Codes{p->setVisible(false), p->setAltitude(4)}; }, "AS------T"},
      {[&] { return Codes{p->setVisible(true)}; }, "AS----4-T"},
      {[&] { return Codes{p->setAltitude(0), p->setSolidness(zv::SOFT)}; }, "AS0-----T"},
      {[&] { return Codes{p->setSolidness(zv::SPECTRAL)}; }, "A-0-----T"},
      {[&] { return Codes{p->setSolidness(zv::HARD)}; }, "AS0-----T"},
      {[&] { return p->setType("Car"), Codes{}; }, "AS0-----T"},
  };
  for (std::size_t i = 0; i < std::size(steps); i++) {
    Codes codes = steps[i].first();
    EXPECT_EQ(codes, Codes(codes.size(), 0)) << i;
    EXPECT_EQ(where(p), steps[i].second) << i;
  }
  EXPECT_EQ(zvtest::objectsIn(graph.objectsOfType("(Undefined)")), (Objects{q}));
  // Coming back to life, and a new box, put an object at the end of its lists.
  EXPECT_EQ(zvtest::objectsIn(graph.activeObjects()), (Objects{q, p}));
  q->setBox(Box(Vector(-1, -1), 2, 2));
  EXPECT_EQ(zvtest::objectsIn(graph.solidObjects()), (Objects{p, q}));
  // Inactive, it changes freely and joins the lists it now belongs to when woken.
  p->setActive(false);
  EXPECT_EQ((Codes{p->setAltitude(1), p->setSolidness(zv::SPECTRAL), p->setVisible(false), p->setVisible(true)}),
            (Codes{0, 0, 0, 0}));
  p->setType("Ghost");  // refused by the scene graph with a log line, changed anyway
  EXPECT_TRUE(zvtest::logContains("SceneGraph::updateType(): Error! Unable to remove Object"));
  EXPECT_EQ(where(p), "-------I-");
  ASSERT_EQ(p->setActive(true), 0);
  EXPECT_EQ(where(p), "A--1----T");
  EXPECT_TRUE(graph.visibleObjects(5).isEmpty() && graph.visibleObjects(-1).isEmpty());
  EXPECT_TRUE(zvtest::logContains("SceneGraph::visibleObjects(): Warning! altitude 5 not in [0,4]."));
  EXPECT_EQ(graph.updateAltitude(p, 7), -1);
  EXPECT_TRUE(zvtest::logContains("SceneGraph::updateAltitude(): New altitude 7 not in [0,4]!  No update."));
  EXPECT_EQ(graph.removeObject(p), 0);
  EXPECT_EQ(graph.removeObject(p), -1);
  EXPECT_TRUE(zvtest::logContains("SceneGraph::removeObject(): Error removing Object (id"));
  EXPECT_EQ((Codes{graph.insertObject(nullptr), graph.insertObject(p)}), (Codes{-1, 0}));
  EXPECT_EQ(where(p), "A--1----T");
}

// By altitude, in insertion order within one, only what the view shows
// (view objects always); each frame of the game loop draws.
TEST_F(WorldTest, WorldDrawsByAltitudeInsideTheView) {
  zvtest::writeFile("ship.txt", "3\n3\n2\n1\nred\n=o=\n/ \\\n-o-\n/ \\\n~o~\n/ \\\n");  // 3 x 2, three frames
  ASSERT_EQ(zv::ResourceManager::getInstance().loadSprite("ship.txt", "ship"), 0);
  std::vector<Hit> hits;
  Body* high = new Body(&hits, zv::SPECTRAL, Vector(10, 10), 4);
  Body* low = new Body(&hits, zv::SPECTRAL, Vector(10, 10), 0);
  Body* mid = new Body(&hits, zv::SPECTRAL, Vector(10, 10));
  Body* mid_later = new Body(&hits, zv::SPECTRAL, Vector(10, 10));
  (new Body(&hits, zv::SPECTRAL, Vector(10, 10), 1))->setVisible(false);
  (new Body(&hits, zv::SPECTRAL, Vector(10, 10), 1))->setActive(false);
  Body* away = new Body(&hits, zv::SPECTRAL, Vector(200, 10), 1);
  Body* edge = new Body(&hits, zv::SPECTRAL, Vector(80.3f, 10), 1);  // its box still reaches into the view
  Body* pinned = new Body(&hits, zv::SPECTRAL, Vector(-50, -50), 3);
  pinned->view_object = true;
  WorldManager::getInstance().draw();
  EXPECT_EQ(drawn, (Objects{low, edge, mid, mid_later, pinned, high}));
  drawn.clear();
  WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 300, 24));
  WorldManager::getInstance().setViewPosition(Vector(190, 12));
  EXPECT_EQ(away->setSprite("nope"), -1);
  EXPECT_TRUE(zvtest::logContains("Object::setSprite(): Warning! Sprite 'nope' not found"));
  EXPECT_EQ(away->setSprite("ship"), 0);
  EXPECT_EQ(away->getBox(), Box(Vector(-1.5f, -1), 3, 2));
  zvtest::Recorder* stop = new zvtest::Recorder;
  ASSERT_EQ(stop->registerInterest(zv::STEP_EVENT), 0);  // else the loop would not end
  stop->stop_after_steps = 5;
  zv::GameManager::getInstance().run();
  ASSERT_EQ(drawn.size(), 10u);
  EXPECT_TRUE(drawn[8] == away && drawn[9] == pinned);
  EXPECT_EQ(away->getAnimation().getIndex(), 5 % 3);  // drawing moves the animation on
}

TEST(WorldWindow, ObjectsAppearWhereTheViewShowsThem) {
  ASSERT_EQ(zvtest::startWindowed(), 0) << "needs an X display";
  zvtest::writeFile("dot.txt", "1\n1\n1\n0\ngreen\n#\n");
  ASSERT_EQ(zv::ResourceManager::getInstance().loadSprite("dot.txt", "dot"), 0);
  Object* p = WorldTest::at(30, 8);
  p->setSprite("dot");
  WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 200, 24));
  WorldManager::getInstance().setViewPosition(Vector(60, 12));  // the view's corner at (20, 0)
  zv::DisplayManager::getInstance().presentFrame();
  WorldManager::getInstance().draw();
  zvtest::ColorSpot spot = zvtest::findColor(zvtest::captureWindow(), sf::Color::Green);
  ASSERT_GT(spot.count, 0);
  EXPECT_TRUE(zvtest::cellX(spot.x) == 10 && zvtest::cellY(spot.y) == 8) << spot.x << "," << spot.y;
  zv::GameManager::getInstance().shutDown();
}
