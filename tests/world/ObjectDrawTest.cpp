#include <vector>

#include "WindowCapture.h"
#include "WorldFixture.h"
#include "core/EventStep.h"
#include "platform/Platform.h"
#include "resources/ResourceManager.h"

using zv::Box;
using zv::Object;
using zv::Vector;

namespace {

std::vector<int> drawn;  // ids, in the order the world drew them

class Painter : public Object {
 public:
  bool view_object = false;
  explicit Painter(int altitude, Vector at = Vector(10, 10)) {
    setAltitude(altitude);
    setPosition(at);
  }
  int draw() override {
    drawn.push_back(getId());
    return Object::draw();
  }
  bool isViewObject() const override { return view_object; }
};

} // namespace

class ObjectPictures : public WorldTest {
 protected:
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  void SetUp() override {
    WorldTest::SetUp();
    // 3 x 2, three frames, slowdown 1.
    zvtest::writeFile("ship.txt", "3\n3\n2\n1\nred\n=o=\n/ \\\n-o-\n/ \\\n~o~\n/ \\\n");
    ASSERT_EQ(rm.loadSprite("ship.txt", "ship"), 0);
  }
};

TEST_F(ObjectPictures, SpriteAndAnimationBringTheirBox) {
  Object* p = at(10, 10);
  p->serialize("ALL");
  EXPECT_EQ(p->setSprite("nope"), -1);
  EXPECT_TRUE(logged("Object::setSprite(): Warning! Sprite 'nope' not found"));
  EXPECT_EQ(p->serialize(""), "");
  EXPECT_EQ(p->setSprite("ship"), 0);
  EXPECT_EQ(p->serialize(""), "box-corner-x:-1.5,box-corner-y:-1,box-horizontal:3,box-vertical:2,");
  EXPECT_EQ(p->serialize("ANIMATION,"), "sprite_name:ship,sprite_index:0,sprite_slowdown_count:0,");
  // The new box is what collisions see.
  Object* q = at(11.4f, 10.9f);
  EXPECT_EQ(order(zv::WorldManager::getInstance().getCollisions(q, q->getPosition())), (std::vector<Object*>{p}));
  zv::Animation a = p->getAnimation();
  a.setIndex(2);
  Object* r = at(1, 1);
  r->setAnimation(a, false);
  EXPECT_EQ(r->getBox(), Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
  EXPECT_EQ(r->getAnimation().getIndex(), 2);
  r->setAnimation(a, true);
  EXPECT_EQ(r->getBox(), Box(Vector(-1.5f, -1.0f), 3.0f, 2.0f));
}

TEST_F(ObjectPictures, WorldDrawsByAltitudeInsideTheView) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  Painter* high = new Painter(4);
  Painter* low = new Painter(0);
  Painter* mid_a = new Painter(2);
  Painter* mid_b = new Painter(2);
  (new Painter(1))->setVisible(false);
  (new Painter(1))->setActive(false);
  Painter* away = new Painter(1, Vector(200, 10));
  Painter* edge = new Painter(1, Vector(80.3f, 10));  // its box still reaches into the view
  Painter* pinned = new Painter(3, Vector(-50, -50));
  pinned->view_object = true;
  world.draw();
  EXPECT_EQ(drawn, (std::vector<int>{low->getId(), edge->getId(), mid_a->getId(), mid_b->getId(), pinned->getId(),
                                     high->getId()}));
  drawn.clear();
  world.setBoundary(Box(Vector(0, 0), 300, 24));
  world.setViewPosition(Vector(190, 12));
  world.draw();
  EXPECT_EQ(drawn, (std::vector<int>{away->getId(), pinned->getId()}));
  // Each frame of the game loop draws, and drawing moves the animation on.
  drawn.clear();
  away->setSprite("ship");
  zvtest::Recorder* stop = new zvtest::Recorder;
  stop->registerInterest(zv::STEP_EVENT);
  stop->stop_after_steps = 5;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), away->getId()), 5);
  EXPECT_EQ(away->getAnimation().getIndex(), 5 % 3);
}

TEST_F(ObjectPictures, ShapeTravelsAsText) {
  Object* p = at(1, 1);
  zv::Shape shape;
  shape.setType(zv::SQUARE);
  shape.setSize(7.5f);
  shape.setColor(zv::RED);
  shape.setOpacity(100);
  p->setShape(shape);
  EXPECT_EQ(p->serialize("SHAPE,"), "shape:1,size:7.5,color:Red,opacity:100,");
  Object* copy = at(1, 1);
  copy->serialize("ALL");
  copy->deserialize("shape:1,size:7.5,color:Red,opacity:100,");
  EXPECT_EQ(copy->serialize("SHAPE,"), "shape:1,size:7.5,color:Red,opacity:100,");
  copy->deserialize("shape:2,size:3,color:4,opacity:9,");  // a colour may come as its number
  EXPECT_EQ(copy->serialize(""), "shape:2,size:3,color:Blue,opacity:9,");
}

// The world's picture in a real window.
TEST(WorldWindow, ObjectsAppearWhereTheViewShowsThem) {
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  ASSERT_EQ(zvtest::startWindowed(), 0);
  zvtest::writeFile("dot.txt", "1\n1\n1\n0\ngreen\n#\n");
  ASSERT_EQ(zv::ResourceManager::getInstance().loadSprite("dot.txt", "dot"), 0);
  zv::WorldManager& world = zv::WorldManager::getInstance();
  Object* p = new Object;
  p->setSprite("dot");
  p->setPosition(Vector(30, 8));
  world.setBoundary(Box(Vector(0, 0), 200, 24));
  const std::pair<float, int> views[] = {{40, 30}, {60, 10}};  // view centre x, the dot's column
  for (const auto& v : views) {
    world.setViewPosition(Vector(v.first, 12));
    zv::DisplayManager::getInstance().presentFrame();
    world.draw();
    zvtest::ColorSpot spot = zvtest::findColor(zvtest::captureWindow(), sf::Color::Green);
    ASSERT_GT(spot.count, 0);
    EXPECT_EQ(zvtest::cellX(spot.x), v.second);
    EXPECT_EQ(zvtest::cellY(spot.y), 8);
  }
  zv::GameManager::getInstance().shutDown();
}
