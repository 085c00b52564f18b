#include <vector>

#include "WindowCapture.h"
#include "WorldFixture.h"
#include "core/EventStep.h"
#include "platform/Platform.h"
#include "resources/ResourceManager.h"
#include "world/Object.h"

using zv::Box;
using zv::Object;
using zv::Vector;

namespace {

// Records the order in which the world draws objects.
std::vector<int> drawn;

class Painter : public FlagProbe {
 public:
  bool view_object = false;
  int steps_left = -1;  // ends the game loop when it reaches 0

  explicit Painter(int altitude = 2, Vector at = Vector(10, 10)) {
    setAltitude(altitude);
    setPosition(at);
  }
  int draw() override {
    drawn.push_back(getId());
    return Object::draw();
  }
  bool isViewObject() const override { return view_object; }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::STEP_EVENT && steps_left > 0 && --steps_left == 0)
      zv::GameManager::getInstance().setGameOver(true);
    return Object::eventHandler(p_e);
  }
};

} // namespace

class ObjectPictures : public WorldTest {
 protected:
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  void SetUp() override {
    WorldTest::SetUp();
    drawn.clear();
    // 3 x 2, three frames, slowdown 1.
    zvtest::writeFile("ship.txt", "3\n3\n2\n1\nred\n=o=\n/ \\\n-o-\n/ \\\n~o~\n/ \\\n");
    ASSERT_EQ(rm.loadSprite("ship.txt", "ship"), 0);
  }
};

TEST_F(ObjectPictures, SetSpriteTakesTheSpriteAndItsBox) {
  Painter* p = new Painter;
  p->clearFlags();
  EXPECT_EQ(p->setSprite("nope"), -1);
  EXPECT_TRUE(logged("Object::setSprite(): Warning! Sprite 'nope' not found"));
  EXPECT_EQ(p->getBox(), Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
  EXPECT_EQ(p->getAnimation().getSprite(), nullptr);
  EXPECT_TRUE(p->marked().empty());

  EXPECT_EQ(p->setSprite("ship"), 0);
  EXPECT_EQ(p->getBox(), Box(Vector(-1.5f, -1.0f), 3.0f, 2.0f));
  EXPECT_EQ(p->getAnimation().getSprite(), rm.getSprite("ship"));
  EXPECT_EQ(p->getAnimation().getName(), "ship");
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::BOX}));  // the animation keeps its own flag
  EXPECT_TRUE(p->getAnimation().isModified());
  // The new box is what collisions see.
  Object* q = new Object;
  q->setPosition(Vector(11.4f, 10.9f));
  EXPECT_EQ(zv::WorldManager::getInstance().getCollisions(q, q->getPosition()).getCount(), 1);
}

TEST_F(ObjectPictures, SetAnimationCopiesItWithOrWithoutTheBox) {
  zv::Animation a;
  a.setSprite(rm.getSprite("ship"));
  a.setIndex(2);
  a.setSlowdownCount(-1);
  Painter* p = new Painter;
  p->clearFlags();
  p->setAnimation(a, false);
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::ANIMATION}));
  EXPECT_EQ(p->getBox(), Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
  EXPECT_EQ(p->getAnimation().getIndex(), 2);
  EXPECT_EQ(p->getAnimation().getSlowdownCount(), -1);
  p->clearFlags();
  p->setAnimation(a, true);
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::BOX, zv::ANIMATION}));
  EXPECT_EQ(p->getBox(), Box(Vector(-1.5f, -1.0f), 3.0f, 2.0f));
}

TEST_F(ObjectPictures, DrawingAdvancesTheAnimationThenDrawsTheShape) {
  zv::LogManager::getInstance().setLogLevel(5);
  Painter* p = new Painter;
  EXPECT_EQ(p->getShape().getType(), zv::SHAPE_NONE);
  EXPECT_EQ(p->draw(), 0);  // no sprite, no shape: nothing to draw
  EXPECT_FALSE(logged("Shape::draw()"));
  p->setSprite("ship");
  EXPECT_EQ(p->draw(), -1);  // no window, but the animation moves on
  EXPECT_EQ(p->getAnimation().getIndex(), 1);
  p->clearFlags();
  zv::Shape shape;
  shape.setType(zv::SQUARE);
  p->setShape(shape);
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::SHAPE}));
  p->draw();
  EXPECT_TRUE(logged("Shape::draw(): DisplayManager window not defined."));
  EXPECT_EQ(p->getAnimation().getIndex(), 2);
}

TEST_F(ObjectPictures, WorldDrawsByAltitudeInsideTheView) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  ASSERT_EQ(world.getView(), Box(Vector(0, 0), 80, 24));
  Painter* high = new Painter(4);
  Painter* low = new Painter(0);
  Painter* mid_a = new Painter(2);
  Painter* mid_b = new Painter(2);
  Painter* hidden = new Painter(1);
  hidden->setVisible(false);
  Painter* asleep = new Painter(1);
  asleep->setActive(false);
  Painter* away = new Painter(1, Vector(200, 10));
  Painter* edge = new Painter(1, Vector(80.3f, 10));  // its box still reaches into the view
  Painter* pinned = new Painter(3, Vector(-50, -50));
  pinned->view_object = true;
  world.draw();
  EXPECT_EQ(drawn, (std::vector<int>{low->getId(), edge->getId(), mid_a->getId(), mid_b->getId(), pinned->getId(),
                                     high->getId()}));
  (void)hidden;
  (void)asleep;
  (void)away;

  // The view moves: what it shows changes.
  drawn.clear();
  world.setBoundary(Box(Vector(0, 0), 300, 24));
  world.setViewPosition(Vector(190, 12));
  world.draw();
  EXPECT_EQ(drawn, (std::vector<int>{away->getId(), pinned->getId()}));
}

TEST_F(ObjectPictures, EveryFrameOfTheGameLoopDraws) {
  Painter* p = new Painter;
  p->setSprite("ship");
  p->registerInterest(zv::STEP_EVENT);
  p->steps_left = 5;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(drawn.size(), 5u);
  EXPECT_EQ(p->getAnimation().getIndex(), 5 % 3);
}

TEST_F(ObjectPictures, AnimationAndShapeTravelAsText) {
  Painter* p = new Painter;
  p->setSprite("ship");
  p->draw();
  zv::Shape shape;
  shape.setType(zv::SQUARE);
  shape.setSize(7.5f);
  shape.setColor(zv::RED);
  shape.setOpacity(100);
  p->setShape(shape);
  std::string text = p->serialize("ALL");
  EXPECT_NE(text.find("type:(Undefined),sprite_name:ship,sprite_index:1,sprite_slowdown_count:0,altitude:2,"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("shape:1,size:7.5,color:Red,opacity:100,"), std::string::npos) << text;
  // Unchanged since, the animation is not written again, even for ALL.
  EXPECT_EQ(p->serialize("ANIMATION,"), "");

  Painter* copy = new Painter;
  copy->deserialize(text);
  EXPECT_EQ(copy->getAnimation().getSprite(), rm.getSprite("ship"));
  EXPECT_EQ(copy->getAnimation().getIndex(), 1);
  EXPECT_EQ(copy->getShape().getType(), zv::SQUARE);
  EXPECT_FLOAT_EQ(copy->getShape().getSize(), 7.5f);
  EXPECT_EQ(copy->getShape().getColor(), zv::RED);
  EXPECT_EQ(copy->getShape().getOpacity(), 100);

  // A shape with a key missing is left alone; a colour may also come as its number.
  copy->clearFlags();
  copy->deserialize("shape:2,size:3,color:4,");
  EXPECT_EQ(copy->getShape().getType(), zv::SQUARE);
  EXPECT_TRUE(copy->marked().empty());
  copy->deserialize("shape:2,size:3,color:4,opacity:9,");
  EXPECT_EQ(copy->getShape().getType(), zv::TRIANGLE);
  EXPECT_EQ(copy->getShape().getColor(), zv::BLUE);
  EXPECT_EQ(copy->marked(), (std::vector<int>{zv::SHAPE}));
}

// The world's picture in a real window.
class WorldWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    ASSERT_EQ(zvtest::startWindowed(), 0);
    zvtest::writeFile("dot.txt", "1\n1\n1\n0\ngreen\n#\n");
    ASSERT_EQ(zv::ResourceManager::getInstance().loadSprite("dot.txt", "dot"), 0);
  }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }
};

TEST_F(WorldWindow, ObjectsAppearWhereTheViewShowsThem) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  Object* p = new Object;
  p->setSprite("dot");
  p->setPosition(Vector(30, 8));
  zv::DisplayManager::getInstance().presentFrame();
  world.draw();
  zvtest::ColorSpot spot = zvtest::findColor(zvtest::captureWindow(), sf::Color::Green);
  ASSERT_GT(spot.count, 0);
  EXPECT_EQ(zvtest::cellX(spot.x), 30);
  EXPECT_EQ(zvtest::cellY(spot.y), 8);

  world.setBoundary(Box(Vector(0, 0), 200, 24));
  world.setViewPosition(Vector(60, 12));  // corner at (20, 0)
  zv::DisplayManager::getInstance().presentFrame();
  world.draw();
  spot = zvtest::findColor(zvtest::captureWindow(), sf::Color::Green);
  ASSERT_GT(spot.count, 0);
  EXPECT_EQ(zvtest::cellX(spot.x), 10);
}
