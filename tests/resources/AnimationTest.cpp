#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WindowCapture.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "platform/Platform.h"
#include "resources/Animation.h"
#include "resources/Frame.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"

using zv::Animation;
using zv::Frame;
using zv::Sprite;
using zv::Vector;

namespace {

// A sprite of n one-character frames "0", "1", ... with the given slowdown.
Sprite* numbered(int frames, int slowdown) {
  Sprite* p_s = new Sprite(frames);
  p_s->setWidth(1);
  p_s->setHeight(1);
  p_s->setSlowdown(slowdown);
  p_s->setLabel("numbers");
  for (int i = 0; i < frames; i++)
    p_s->addFrame(Frame(1, 1, std::string(1, static_cast<char>('0' + i))));
  return p_s;
}

std::vector<int> shownFrames(Animation& a, int draws) {
  std::vector<int> shown;
  for (int i = 0; i < draws; i++) {
    shown.push_back(a.getIndex());
    a.draw(Vector(5, 5));
  }
  return shown;
}

} // namespace

class HeadlessAnimation : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

TEST(SpriteFrames, CapacityAndLookups) {
  Sprite s(2);
  EXPECT_EQ(s.getLabel(), "[Undefined]");
  EXPECT_EQ(s.getSlowdown(), 1);
  EXPECT_EQ(s.getColor(), zv::WHITE);
  EXPECT_EQ(s.getTransparency(), 0);
  EXPECT_EQ(s.addFrame(Frame(2, 1, "ab")), 0);
  // Sizes are not compared when adding.
  EXPECT_EQ(s.addFrame(Frame(5, 5, "x")), 0);
  EXPECT_EQ(s.addFrame(Frame(2, 1, "cd")), -1);
  EXPECT_EQ(s.getFrameCount(), 2);
  EXPECT_EQ(s.getFrame(0).getString(), "ab");
  EXPECT_EQ(s.getFrame(1).getWidth(), 5);
  EXPECT_TRUE(s.getFrame(2).getString().empty());
  EXPECT_TRUE(s.getFrame(-1).getString().empty());
  EXPECT_EQ(s.getFrame(-1).getWidth(), 0);
}

TEST(SpriteFrames, ImpossibleCapacityHoldsNothing) {
  zv::LogManager::getInstance().startUp();
  Sprite s(-3);
  EXPECT_EQ(s.getMaxFrameCount(), 0);
  EXPECT_EQ(s.addFrame(Frame(1, 1, "a")), -1);
  EXPECT_EQ(s.getFrameCount(), 0);
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Sprite::Sprite(): Error! Unable to allocate -3 frames."));
}

TEST(AnimationPlayback, SlowdownHoldsEachFrameAndWraps) {
  Sprite* p_s = numbered(3, 2);
  Animation a;
  a.setSprite(p_s);
  EXPECT_EQ(shownFrames(a, 8), (std::vector<int>{0, 0, 1, 1, 2, 2, 0, 0}));
  delete p_s;
}

TEST(AnimationPlayback, SlowdownZeroAdvancesLikeOne) {
  Sprite* p_zero = numbered(3, 0);
  Sprite* p_one = numbered(3, 1);
  Animation a, b;
  a.setSprite(p_zero);
  b.setSprite(p_one);
  EXPECT_EQ(shownFrames(a, 5), (std::vector<int>{0, 1, 2, 0, 1}));
  EXPECT_EQ(shownFrames(b, 5), (std::vector<int>{0, 1, 2, 0, 1}));
  delete p_zero;
  delete p_one;
}

TEST(AnimationPlayback, FrozenStaysAndThaws) {
  Sprite* p_s = numbered(3, 1);
  Animation a;
  a.setSprite(p_s);
  a.draw(Vector(0, 0));
  a.setSlowdownCount(-1);
  a.serialize("");  // clears modified
  EXPECT_EQ(shownFrames(a, 5), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(a.getSlowdownCount(), -1);
  EXPECT_FALSE(a.isModified());
  a.setSlowdownCount(0);
  EXPECT_EQ(shownFrames(a, 3), (std::vector<int>{1, 2, 0}));
  delete p_s;
}

TEST(AnimationPlayback, CountersReadFromTextDoNotOverflow) {
  Sprite* p_s = numbered(2, 3);
  Animation a;
  a.setSprite(p_s);
  a.setSlowdownCount(INT_MAX);
  a.setIndex(INT_MAX);
  a.draw(Vector(0, 0));
  EXPECT_EQ(a.getSlowdownCount(), 0);
  EXPECT_EQ(a.getIndex(), 0);
  // An index past the frames draws nothing and comes back to the start.
  a.setIndex(7);
  a.setSlowdownCount(2);
  EXPECT_EQ(a.draw(Vector(0, 0)), 0);
  EXPECT_EQ(a.getIndex(), 0);
  delete p_s;
}

TEST(AnimationPlayback, SetSpriteAndNull) {
  Sprite* p_s = numbered(3, 1);
  Animation a;
  EXPECT_EQ(a.getName(), "");
  EXPECT_EQ(a.draw(Vector(1, 1)), 0);
  a.setSprite(p_s);
  EXPECT_EQ(a.getName(), "numbers");
  a.draw(Vector(1, 1));
  a.setSlowdownCount(0);
  a.draw(Vector(1, 1));
  EXPECT_EQ(a.getIndex(), 2);
  a.setSlowdownCount(-1);
  a.setSprite(nullptr);
  EXPECT_EQ(a.getSprite(), nullptr);
  EXPECT_EQ(a.getName(), "numbers");
  EXPECT_EQ(a.getIndex(), 0);
  EXPECT_EQ(a.getSlowdownCount(), -1);  // kept by setSprite
  EXPECT_EQ(a.draw(Vector(1, 1)), 0);
  delete p_s;
}

TEST(AnimationPlayback, BoxFollowsTheSprite) {
  Animation a;
  zv::Box none = a.getBox();
  EXPECT_FLOAT_EQ(none.getCorner().getX(), -0.5f);
  EXPECT_FLOAT_EQ(none.getCorner().getY(), -0.5f);
  EXPECT_FLOAT_EQ(none.getHorizontal(), 0.99f);
  EXPECT_FLOAT_EQ(none.getVertical(), 0.99f);
  Sprite s(1);
  s.setWidth(3);
  s.setHeight(2);
  a.setSprite(&s);
  zv::Box box = a.getBox();
  EXPECT_FLOAT_EQ(box.getCorner().getX(), -1.5f);
  EXPECT_FLOAT_EQ(box.getCorner().getY(), -1.0f);
  EXPECT_FLOAT_EQ(box.getHorizontal(), 3.0f);
  EXPECT_FLOAT_EQ(box.getVertical(), 2.0f);
}

TEST(AnimationText, SettersMarkOnlyRealChanges) {
  Animation a;
  EXPECT_TRUE(a.isModified());
  EXPECT_EQ(a.serialize(""), "sprite_name:,sprite_index:0,sprite_slowdown_count:0,");
  EXPECT_FALSE(a.isModified());
  EXPECT_EQ(a.serialize(""), "");
  a.setIndex(0);
  a.setName("");
  a.setSlowdownCount(0);
  EXPECT_FALSE(a.isModified());
  EXPECT_EQ(a.serialize("ALL"), "sprite_name:,sprite_index:0,sprite_slowdown_count:0,");
  EXPECT_EQ(a.serialize("POSITION,ANIMATION,"), "sprite_name:,sprite_index:0,sprite_slowdown_count:0,");
  EXPECT_EQ(a.serialize("POSITION,"), "");
  a.setSlowdownCount(-1);
  EXPECT_EQ(a.serialize(""), "sprite_name:,sprite_index:0,sprite_slowdown_count:-1,");
  Sprite s(1);
  a.setSprite(&s);  // always marks
  EXPECT_TRUE(a.isModified());
}

TEST_F(HeadlessAnimation, DeserializeFindsSpritesByLabel) {
  zv::LogManager::getInstance().setLogLevel(20);
  zvtest::writeFile("ship.txt", "2\n1\n1\n1\nred\nA\nB\n");
  ASSERT_EQ(zv::ResourceManager::getInstance().loadSprite("ship.txt", "ship"), 0);
  Animation a;
  EXPECT_EQ(a.deserialize("sprite_name:ship,sprite_index:1,sprite_slowdown_count:-1,"), 0);
  EXPECT_EQ(a.getSprite(), zv::ResourceManager::getInstance().getSprite("ship"));
  EXPECT_EQ(a.getName(), "ship");
  EXPECT_EQ(a.getIndex(), 1);  // survives the reset of setSprite
  EXPECT_EQ(a.getSlowdownCount(), -1);
  EXPECT_TRUE(zvtest::logContains("Animation::deserialize(): sprite_name is 'ship'"));
  EXPECT_TRUE(zvtest::logContains("Animation::deserialize(): sprite_index is 1"));
  EXPECT_TRUE(zvtest::logContains("Animation::deserialize(): sprite_slowdown_count is -1"));

  // An unknown label keeps the sprite but takes the name.
  EXPECT_EQ(a.deserialize("sprite_name:ghost,"), 0);
  EXPECT_EQ(a.getSprite(), zv::ResourceManager::getInstance().getSprite("ship"));
  EXPECT_EQ(a.getName(), "ghost");
  EXPECT_EQ(a.getIndex(), 1);
  EXPECT_TRUE(zvtest::logContains("Animation::Match(): Sprite 'ghost' not found"));

  // Round trip through the written text.
  Animation b;
  b.setSprite(zv::ResourceManager::getInstance().getSprite("ship"));
  b.setIndex(1);
  Animation c;
  c.deserialize(b.serialize("ALL"));
  EXPECT_EQ(c.getSprite(), b.getSprite());
  EXPECT_EQ(c.getIndex(), 1);
  // Absent keys and an empty text change nothing.
  EXPECT_EQ(c.deserialize("speed:3,"), 0);
  EXPECT_EQ(c.deserialize(""), 0);
  EXPECT_EQ(c.getIndex(), 1);
  EXPECT_EQ(c.getName(), "ship");
}

TEST_F(HeadlessAnimation, DrawingWithoutAWindowStillAdvances) {
  Sprite* p_s = numbered(2, 1);
  Animation a;
  a.setSprite(p_s);
  EXPECT_EQ(a.draw(Vector(3, 3)), -1);
  EXPECT_EQ(a.getIndex(), 1);
  delete p_s;
}

TEST_F(HeadlessAnimation, ShortFrameStringIsRefusedNotOverread) {
  Frame short_frame(3, 2, "abcd");
  EXPECT_EQ(short_frame.draw(Vector(5, 5), zv::RED, 0), -1);
  EXPECT_TRUE(zvtest::logContains("Frame::draw(): Error! Frame string has 4 characters, 3 x 2 needs 6."));
  // Nothing to draw is a success.
  EXPECT_EQ(Frame().draw(Vector(5, 5), zv::RED, 0), 0);
  EXPECT_EQ(Frame(3, 0, "abc").draw(Vector(5, 5), zv::RED, 0), 0);
  EXPECT_EQ(Frame(-2, 1, "abc").draw(Vector(5, 5), zv::RED, 0), 0);
}

// Drawing into a real window and reading the pixels back.
class WindowAnimation : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    ASSERT_EQ(zvtest::startWindowed(), 0);
  }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }
  static sf::Image drawn(const Frame& frame, Vector at, zv::Color color, char transparency) {
    zv::DisplayManager::getInstance().presentFrame();
    EXPECT_EQ(frame.draw(at, color, transparency), 0);
    return zvtest::captureWindow();
  }
};

TEST_F(WindowAnimation, FrameIsCentredOnItsPosition) {
  // Only the top-left and bottom-right corners of a 5 x 3 frame show.
  Frame frame(5, 3, "#...." "....." "....#");
  sf::Image image = drawn(frame, Vector(10, 10), zv::RED, '.');
  float split = 10 * zv::cellHeight();
  zvtest::ColorSpot top = zvtest::findColor(image, sf::Color::Red, 0, 0, 1024, static_cast<int>(split));
  zvtest::ColorSpot bottom = zvtest::findColor(image, sf::Color::Red, 0, static_cast<int>(split), 1024, 768);
  ASSERT_GT(top.count, 0);
  ASSERT_GT(bottom.count, 0);
  EXPECT_EQ(zvtest::cellX(top.x), 8);
  EXPECT_EQ(zvtest::cellY(top.y), 9);
  EXPECT_EQ(zvtest::cellX(bottom.x), 12);
  EXPECT_EQ(zvtest::cellY(bottom.y), 11);
}

TEST_F(WindowAnimation, FrameLargerThanTheWindowReachesEveryEdge) {
  // Rows and columns off the view are skipped; none that shows may be.
  sf::Image image = drawn(Frame(200, 60, std::string(200 * 60, '#')), Vector(40, 12), zv::RED, 0);
  int w = static_cast<int>(zv::cellWidth()), h = static_cast<int>(zv::cellHeight());
  EXPECT_GT(zvtest::findColor(image, sf::Color::Red, 0, 0, w, h).count, 0);
  EXPECT_GT(zvtest::findColor(image, sf::Color::Red, 1024 - w, 768 - h, 1024, 768).count, 0);
}

TEST_F(WindowAnimation, TransparentCharacterIsSkippedOnlyWhenSet) {
  Frame frame(3, 1, "#X#");
  // The middle of the middle cell, clear of the neighbours' glyphs.
  int left = static_cast<int>(10 * zv::cellWidth() + 3), right = static_cast<int>(11 * zv::cellWidth() - 3);
  int top = static_cast<int>(5 * zv::cellHeight()), bottom = static_cast<int>(6 * zv::cellHeight());
  sf::Image hidden = drawn(frame, Vector(10, 5), zv::GREEN, 'X');
  EXPECT_EQ(zvtest::findColor(hidden, sf::Color::Green, left, top, right, bottom).count, 0);
  EXPECT_GT(zvtest::findColor(hidden, sf::Color::Green).count, 0);
  sf::Image shown = drawn(frame, Vector(10, 5), zv::GREEN, 0);
  EXPECT_GT(zvtest::findColor(shown, sf::Color::Green, left, top, right, bottom).count, 0);
}

TEST_F(WindowAnimation, BytesOutsideAsciiLookLikeQuestionMarks) {
  sf::Image odd = drawn(Frame(2, 1, "\xe9\x80"), Vector(20, 8), zv::YELLOW, 0);
  sf::Image plain = drawn(Frame(2, 1, "??"), Vector(20, 8), zv::YELLOW, 0);
  ASSERT_GT(zvtest::findColor(plain, sf::Color::Yellow).count, 0);
  EXPECT_EQ(zvtest::findColor(odd, sf::Color::Yellow).count, zvtest::findColor(plain, sf::Color::Yellow).count);
  EXPECT_FLOAT_EQ(zvtest::findColor(odd, sf::Color::Yellow).x, zvtest::findColor(plain, sf::Color::Yellow).x);
}

TEST_F(WindowAnimation, SpriteDrawsInItsOwnColour) {
  Sprite s(1);
  s.setWidth(1);
  s.setHeight(1);
  s.setColor(zv::CYAN);
  s.addFrame(Frame(1, 1, "@"));
  zv::DisplayManager::getInstance().presentFrame();
  EXPECT_EQ(s.draw(0, Vector(30, 12), 0), 0);
  EXPECT_EQ(s.draw(4, Vector(40, 12), 0), 0);  // no such frame: nothing
  sf::Image image = zvtest::captureWindow();
  zvtest::ColorSpot spot = zvtest::findColor(image, sf::Color::Cyan);
  ASSERT_GT(spot.count, 0);
  EXPECT_EQ(zvtest::cellX(spot.x), 30);
  EXPECT_EQ(zvtest::cellY(spot.y), 12);
}
