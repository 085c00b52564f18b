#include <sys/stat.h>

#include <gtest/gtest.h>

#include "SpriteFileFixture.h"
#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "resources/ResourceManager.h"

using zv::ResourceManager;

namespace {
const char* const TINY = "1\n1\n1\n0\nred\n*\n";
}

TEST(ResourceManagerLife, RefusesWorkWhenNotStarted) {
  zv::LogManager::getInstance().startUp();
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("tiny.txt", TINY);
  EXPECT_EQ(rm.loadSprite("tiny.txt", "t"), -1);
  EXPECT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/Honk.wav", "honk"), -1);
  EXPECT_EQ(rm.getSpriteCount(), 0);
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("ResourceManager not started!"), 2);
}

TEST(ResourceManagerLife, StartsBetweenDisplayAndWorldAndStopsInReverse) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  ResourceManager& rm = ResourceManager::getInstance();
  EXPECT_TRUE(rm.isStarted());
  EXPECT_EQ(rm.startUp(), -1);
  zvtest::writeFile("tiny.txt", TINY);
  ASSERT_EQ(rm.loadSprite("tiny.txt", "t"), 0);
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(rm.isStarted());
  EXPECT_EQ(rm.getSpriteCount(), 0);

  std::vector<std::string> order;
  for (const std::string& line : zvtest::logMessages())
    for (const char* wanted : {"Display manager started.", "RM::startUp(): successfully started.",
                               "Resource manager started.", "World manager started.", "World manager stopped",
                               "RM::shutDown(): successfully stopped.", "Resource manager stopped",
                               "Display manager stopped"})
      if (line == wanted)
        order.push_back(line);
  EXPECT_EQ(order, (std::vector<std::string>{"Display manager started.", "RM::startUp(): successfully started.",
                                              "Resource manager started.", "World manager started.",
                                              "World manager stopped", "RM::shutDown(): successfully stopped.",
                                              "Resource manager stopped", "Display manager stopped"}));
  EXPECT_TRUE(zvtest::logContains("ResourceManager::startup(): Warning! ResourceManager already started."));
}

TEST(ResourceManagerLife, EngineStartFailsWhenItCannotStart) {
  zv::LogManager::getInstance().startUp();
  ResourceManager::getInstance().startUp();  // already started: the engine's own start-up is refused
  zv::LogManager::getInstance().shutDown();
  zvtest::writeFile("zv-config.txt", "headless:true,");
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("Error starting resource manager!"));
  EXPECT_FALSE(zvtest::logContains("World manager started."));
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(ResourceManager::getInstance().isStarted());
}

TEST(ResourceManagerLife, RestartForgetsEverySprite) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("tiny.txt", TINY);
  ASSERT_EQ(rm.loadSprite("tiny.txt", "a"), 0);
  ASSERT_EQ(rm.loadSprite("tiny.txt", "b"), 0);
  rm.shutDown();
  EXPECT_EQ(rm.loadSprite("tiny.txt", "c"), -1);
  ASSERT_EQ(rm.startUp(), 0);
  EXPECT_EQ(rm.getSprite("a"), nullptr);
  EXPECT_EQ(rm.getSpriteCount(), 0);
  ASSERT_EQ(rm.loadSprite("tiny.txt", "a"), 0);
  EXPECT_NE(rm.getSprite("a"), nullptr);
  zv::GameManager::getInstance().shutDown();
}

TEST_F(SpriteFiles, LookupIsExactAndFirstComesFirst) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(load("1\n1\n1\n0\nred\nA\n", "twin"), 0);
  ASSERT_EQ(load("1\n1\n1\n0\ngreen\nB\n", "twin"), 0);
  zv::Sprite* p_first = rm.getSprite("twin");
  ASSERT_NE(p_first, nullptr);
  EXPECT_EQ(p_first->getColor(), zv::RED);
  EXPECT_EQ(rm.getSprite("Twin"), nullptr);
  EXPECT_EQ(rm.getSprite("twin "), nullptr);
  EXPECT_EQ(rm.getSprite(""), nullptr);
  EXPECT_TRUE(zvtest::logContains("RM::getSprite(): Looking for sprite 'Twin'."));
  EXPECT_TRUE(zvtest::logContains("RM::getSprite(): Warning! Sprite 'Twin' not found."));
}

TEST_F(SpriteFiles, FilesThatCannotBeRead) {
  EXPECT_EQ(rm.loadSprite("no-such-file.txt", "gone"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Error! Cannot open file 'no-such-file.txt'."));
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Sprite 'gone' not loaded."));
  EXPECT_EQ(rm.getSpriteCount(), 1);

  mkdir("a-folder", 0700);
  EXPECT_EQ(rm.loadSprite("a-folder", "folder"), -1);
  EXPECT_EQ(rm.getSpriteCount(), 1);

  EXPECT_EQ(load(""), -1);
  EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.", "RM::loadSprite(): Error! Unknown sprite file format.",
                      "RM::loadSprite(): First line is ''.", "RM::loadSprite(): Sprite 's' NOT loaded."}));
  EXPECT_EQ(load("0\n1\n1\n0\nred\n*\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSprite(): First line is '0'."}));
  EXPECT_EQ(load(std::string("\0\0\xff\x01garbage", 11)), -1);
  EXPECT_TRUE(logged({"RM::loadSprite(): Error! Unknown sprite file format."}));
}

TEST_F(SpriteFiles, AtMostOneThousandSprites) {
  zvtest::writeFile("tiny.txt", TINY);
  // "keep" is the first.
  for (int i = 1; i < zv::MAX_SPRITES; i++)
    ASSERT_EQ(rm.loadSprite("tiny.txt", "s" + std::to_string(i)), 0);
  EXPECT_EQ(rm.getSpriteCount(), 1000);
  EXPECT_EQ(load(TINY, "one-too-many"), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000).",
                      "RM::loadRobustSprite(): Sprite 'one-too-many' not loaded."}));
  EXPECT_FALSE(mentions("Loading sprite"));
  EXPECT_NE(rm.getSprite("s999"), nullptr);
}

// Every sprite the game ships, through the real loader.
TEST_F(SpriteFiles, TheGamesSpritesAllLoad) {
  struct Expected {
    const char* label;
    const char* file;
    int width, height, frames, slowdown;
    zv::Color color;
    char transparency;
  };
  const Expected sprites[] = {
      {"car", "racer-spr.txt", 8, 3, 1, 1, zv::CYAN, ' '},
      {"spiketrap", "spiketrap-spr.txt", 6, 2, 1, 1, zv::WHITE, 0},
      {"spiketrapHit", "spiketrap-hit-spr.txt", 6, 2, 1, 1, zv::WHITE, 0},
      {"cones", "cones-spr.txt", 6, 2, 1, 1, zv::YELLOW, 0},
      {"conesHit", "cones-hit-spr.txt", 6, 2, 1, 1, zv::YELLOW, 0},
      {"gas", "gas-spr.txt", 5, 3, 1, 1, zv::GREEN, 0},
      {"oil", "oil-spr.txt", 6, 2, 2, 8, zv::MAGENTA, 0},
      {"oilHit", "oil-hit-spr.txt", 6, 2, 1, 1, zv::MAGENTA, 0},
      {"warning", "warning-spr.txt", 5, 3, 2, 5, zv::RED, ' '},
      {"missile", "missile-spr.txt", 6, 1, 2, 2, zv::RED, 0},
      {"start", "start-spr.txt", 68, 16, 6, 2, zv::YELLOW, 0},
      {"gameover", "gameOver-spr.txt", 60, 10, 4, 5, zv::RED, 0},
  };
  for (const Expected& e : sprites) {
    SCOPED_TRACE(e.file);
    ASSERT_EQ(rm.loadSprite(std::string(ZELVRA_SOURCE_DIR "/sprites/") + e.file, e.label), 0);
    zv::Sprite* p_s = rm.getSprite(e.label);
    ASSERT_NE(p_s, nullptr);
    EXPECT_EQ(p_s->getWidth(), e.width);
    EXPECT_EQ(p_s->getHeight(), e.height);
    EXPECT_EQ(p_s->getFrameCount(), e.frames);
    EXPECT_EQ(p_s->getSlowdown(), e.slowdown);
    EXPECT_EQ(p_s->getColor(), e.color);
    EXPECT_EQ(p_s->getTransparency(), e.transparency);
    for (int f = 0; f < p_s->getFrameCount(); f++)
      EXPECT_EQ(p_s->getFrame(f).getString().size(), static_cast<std::size_t>(e.width * e.height));
  }
  EXPECT_EQ(rm.getSpriteCount(), 13);
  EXPECT_FALSE(zvtest::logContains("Error"));
  EXPECT_FALSE(zvtest::logContains("matches multiple lines"));
  EXPECT_FALSE(zvtest::logContains("Unused"));
  EXPECT_FALSE(zvtest::logContains("outside 7-bit ASCII"));
}
