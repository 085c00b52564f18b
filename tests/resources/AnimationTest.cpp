#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WindowCapture.h"
#include <zelvra/core/LogManager.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/resources/ResourceManager.h>

using zv::Animation;
using zv::Frame;
using zv::Sprite;
using zv::Vector;

namespace {

// n one-character frames "0", "1", ... with the given slowdown.
Sprite* numbered(int frames, int slowdown) {
  Sprite* p_s = new Sprite(frames);
  p_s->setWidth(1), p_s->setHeight(1), p_s->setSlowdown(slowdown), p_s->setLabel("numbers");
  for (int i = 0; i < frames; i++)
    p_s->addFrame(Frame(1, 1, std::string(1, static_cast<char>('0' + i))));
  return p_s;
}

std::vector<int> shownFrames(Animation& a, int draws) {
  std::vector<int> shown;
  for (int i = 0; i < draws; i++)
    shown.push_back(a.getIndex()), a.draw(Vector(5, 5));
  return shown;
}

} // namespace

TEST(SpriteFrames, CapacityAndLookups) {
  zv::LogManager::getInstance().startUp();
  Sprite s(2), impossible(-3);
  // Sizes are not compared when adding.
  EXPECT_EQ(std::vector<int>({s.addFrame(Frame(2, 1, "ab")), s.addFrame(Frame(5, 5, "x")), s.addFrame(Frame(2, 1, "cd")),
                              impossible.addFrame(Frame(1, 1, "a"))}),
            std::vector<int>({0, 0, -1, -1}));
  EXPECT_EQ(std::vector<int>({s.getFrameCount(), s.getFrame(1).getWidth(), s.getFrame(-1).getWidth(),
                              impossible.getFrameCount()}),
            std::vector<int>({2, 5, 0, 0}));
  EXPECT_TRUE(s.getFrame(2).getString().empty());
}

TEST(AnimationPlayback, SlowdownHoldsFramesWrapsFreezesAndResets) {
  for (auto [slowdown, shown] : {std::pair<int, std::vector<int>>{2, {0, 0, 1, 1, 2, 2, 0, 0}},
                                 {1, {0, 1, 2, 0, 1, 2, 0, 1}}, {0, {0, 1, 2, 0, 1, 2, 0, 1}}}) {
    Sprite* p_s = numbered(3, slowdown);
    Animation a;
    a.setSprite(p_s);
    EXPECT_EQ(shownFrames(a, 8), shown) << slowdown;
    delete p_s;
  }
  Sprite* p_s = numbered(3, 1);
  Animation a;
  a.setSprite(p_s), a.draw(Vector(0, 0)), a.setSlowdownCount(-1);
  a.serialize("");  // clears modified
  EXPECT_EQ(shownFrames(a, 3), (std::vector<int>{1, 1, 1}));
  EXPECT_FALSE(a.isModified());
  a.setSlowdownCount(0);
  EXPECT_EQ(shownFrames(a, 3), (std::vector<int>{1, 2, 0}));
  // Counters read from text neither overflow nor read past the frames.
  a.setSlowdownCount(INT_MAX), a.setIndex(INT_MAX), a.draw(Vector(0, 0));
  EXPECT_EQ(std::vector<int>({a.getSlowdownCount(), a.getIndex()}), std::vector<int>({0, 0}));
  a.setIndex(7);
  EXPECT_EQ(std::vector<int>({a.draw(Vector(0, 0)), a.getIndex()}), std::vector<int>({0, 0}));
  a.setIndex(2), a.setSlowdownCount(-1), a.setSprite(nullptr);
  EXPECT_EQ(a.getName(), "numbers");
  EXPECT_EQ(std::vector<int>({a.getIndex(), a.getSlowdownCount()}), std::vector<int>({0, -1}));  // count kept
  delete p_s;
}

TEST(AnimationText, BoxFollowsTheSpriteAndOnlyRealChangesAreWritten) {
  Animation a;
  const std::string all = "sprite_name:,sprite_index:0,sprite_slowdown_count:0,";
  EXPECT_EQ(std::vector<std::string>({a.serialize(""), a.serialize("")}), std::vector<std::string>({all, ""}));
  a.setIndex(0), a.setName(""), a.setSlowdownCount(0);
  EXPECT_FALSE(a.isModified());
  EXPECT_EQ(std::vector<std::string>({a.serialize("ALL"), a.serialize("POSITION,ANIMATION,"), a.serialize("POSITION,")}),
            std::vector<std::string>({all, all, ""}));
  a.setSlowdownCount(-1);
  EXPECT_EQ(a.serialize(""), "sprite_name:,sprite_index:0,sprite_slowdown_count:-1,");
  Sprite s(1);
  s.setWidth(3), s.setHeight(2);
  a.setSprite(&s);  // always marks
  EXPECT_TRUE(a.isModified());
  EXPECT_EQ(a.getBox(), zv::Box(Vector(-1.5f, -1.0f), 3, 2));
}

TEST(AnimationText, DeserializeFindsSpritesByLabel) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  zvtest::writeFile("ship.txt", "2\n1\n1\n1\nred\nA\nB\n");
  ASSERT_EQ(rm.loadSprite("ship.txt", "ship"), 0);
  Animation a;
  EXPECT_EQ(a.deserialize("sprite_name:ship,sprite_index:1,sprite_slowdown_count:-1,"), 0);
  EXPECT_EQ(a.getSprite(), rm.getSprite("ship"));
  EXPECT_EQ(std::vector<int>({a.getIndex(), a.getSlowdownCount()}), std::vector<int>({1, -1}));  // after setSprite
  // An unknown label keeps the sprite but takes the name.
  EXPECT_EQ(a.deserialize("sprite_name:ghost,"), 0);
  EXPECT_EQ(a.getSprite(), rm.getSprite("ship"));
  EXPECT_EQ(a.getName(), "ghost");
  Animation b;
  b.deserialize(a.serialize("ALL"));
  EXPECT_EQ(b.serialize("ALL"), a.serialize("ALL"));
  // Absent keys and an empty text change nothing.
  EXPECT_EQ((Codes{b.deserialize("speed:3,"), b.deserialize("")}), (Codes{0, 0}));
  EXPECT_EQ(b.serialize("ALL"), "sprite_name:ghost,sprite_index:1,sprite_slowdown_count:-1,");
  // Without a window drawing fails but the animation still advances.
  a.setSlowdownCount(0);
  EXPECT_EQ(std::vector<int>({a.draw(Vector(3, 3)), a.getIndex(), Frame(3, 2, "abcd").draw(Vector(5, 5), zv::RED, 0)}),
            std::vector<int>({-1, 0, -1}));
  EXPECT_TRUE(zvtest::logContains("Frame::draw(): Error! Frame string has 4 characters, 3 x 2 needs 6."));
  for (const Frame& empty : {Frame(), Frame(3, 1, ""), Frame(3, 0, "abc"), Frame(-2, 1, "abc")})
    EXPECT_EQ(empty.draw(Vector(5, 5), zv::RED, 0), 0);
  zv::GameManager::getInstance().shutDown();
}

// Drawing into a real window and reading the pixels back.
TEST(WindowAnimation, FramesAreCentredClippedTransparentAndAscii) {
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  ASSERT_EQ(zvtest::startWindowed(), 0);
  auto drawn = [](const Frame& frame, Vector at, zv::Color color, char transparency) {
    zv::DisplayManager::getInstance().presentFrame();
    EXPECT_EQ(frame.draw(at, color, transparency), 0);
    return zvtest::captureWindow();
  };
  // Only the top-left and bottom-right corners of a 5 x 3 frame show.
  sf::Image image = drawn(Frame(5, 3, "#........." "....#"), Vector(10, 10), zv::RED, '.');
  int w = static_cast<int>(zv::cellWidth()), h = static_cast<int>(zv::cellHeight());
  zvtest::ColorSpot top = zvtest::findColor(image, sf::Color::Red, 0, 0, 1024, 10 * h);
  zvtest::ColorSpot bottom = zvtest::findColor(image, sf::Color::Red, 0, 10 * h, 1024, 768);
  ASSERT_TRUE(top.count > 0 && bottom.count > 0);
  EXPECT_EQ(std::vector<int>({zvtest::cellX(top.x), zvtest::cellY(top.y), zvtest::cellX(bottom.x), zvtest::cellY(bottom.y)}),
            std::vector<int>({8, 9, 12, 11}));
  // Rows and columns off the view are skipped; none that shows may be.
  image = drawn(Frame(200, 60, std::string(200 * 60, '#')), Vector(40, 12), zv::RED, 0);
  EXPECT_GT(zvtest::findColor(image, sf::Color::Red, 0, 0, w, h).count, 0);
  EXPECT_GT(zvtest::findColor(image, sf::Color::Red, 1024 - w, 768 - h, 1024, 768).count, 0);
  // The middle of the middle cell, clear of the neighbours' glyphs.
  int left = static_cast<int>(10 * zv::cellWidth() + 3), right = static_cast<int>(11 * zv::cellWidth() - 3);
  image = drawn(Frame(3, 1, "#X#"), Vector(10, 5), zv::GREEN, 'X');
  EXPECT_EQ(zvtest::findColor(image, sf::Color::Green, left, 5 * h, right, 6 * h).count, 0);
  EXPECT_GT(zvtest::findColor(image, sf::Color::Green).count, 0);
  image = drawn(Frame(3, 1, "#X#"), Vector(10, 5), zv::GREEN, 0);
  EXPECT_GT(zvtest::findColor(image, sf::Color::Green, left, 5 * h, right, 6 * h).count, 0);
  // Bytes outside ASCII look like question marks.
  zvtest::ColorSpot odd = zvtest::findColor(drawn(Frame(2, 1, "\xe9\x80"), Vector(20, 8), zv::YELLOW, 0), sf::Color::Yellow);
  zvtest::ColorSpot plain = zvtest::findColor(drawn(Frame(2, 1, "??"), Vector(20, 8), zv::YELLOW, 0), sf::Color::Yellow);
  ASSERT_GT(plain.count, 0);
  EXPECT_EQ(odd.count, plain.count);
  EXPECT_FLOAT_EQ(odd.x, plain.x);
  // A sprite draws in its own colour; a frame it lacks draws nothing.
  Sprite* p_s = numbered(1, 1);
  p_s->setColor(zv::CYAN);
  zv::DisplayManager::getInstance().presentFrame();
  EXPECT_EQ((Codes{p_s->draw(0, Vector(30, 12), 0), p_s->draw(4, Vector(40, 12), 0)}), (Codes{0, 0}));
  zvtest::ColorSpot spot = zvtest::findColor(zvtest::captureWindow(), sf::Color::Cyan);
  ASSERT_GT(spot.count, 0);
  EXPECT_EQ(std::vector<int>({zvtest::cellX(spot.x), zvtest::cellY(spot.y)}), std::vector<int>({30, 12}));
  delete p_s;
  zv::GameManager::getInstance().shutDown();
}
