#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "platform/AudioOutput.h"
#include "resources/ResourceManager.h"
#include "resources/Sound.h"

using zv::ResourceManager;

namespace {

void put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++)
    out += static_cast<char>((v >> (8 * i)) & 0xff);
}

// A PCM WAV file of a square wave of the given sample frames, channels and bits (8 or 16).
std::string wav(int frames, int channels, int bits, int rate = 22050) {
  std::string data;
  for (int i = 0; i < frames * channels; i++)
    put(data, bits == 8 ? ((i / 20) % 2 ? 56u : 200u) : ((i / 20) % 2 ? 0xE0C0u : 8000u), bits / 8);
  std::string out = "RIFF";
  put(out, static_cast<uint32_t>(36 + data.size()), 4);
  out += "WAVEfmt ";
  for (auto [v, n] : {std::pair<uint32_t, int>{16, 4}, {1, 2}, {static_cast<uint32_t>(channels), 2},
                      {static_cast<uint32_t>(rate), 4}, {static_cast<uint32_t>(rate * channels * bits / 8), 4},
                      {static_cast<uint32_t>(channels * bits / 8), 2}, {static_cast<uint32_t>(bits), 2}})
    put(out, v, n);
  out += "data";
  put(out, static_cast<uint32_t>(data.size()), 4);
  return out + data;
}

class Sounds : public testing::Test {
 protected:
  ResourceManager& rm = ResourceManager::getInstance();
  void SetUp() override {
    ASSERT_EQ(zvtest::startHeadless(), 0);
    zv::LogManager::getInstance().setLogLevel(1);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

} // namespace

TEST(ResourceManagerLife, RefusesWorkWhenNotStartedAndStartsBetweenDisplayAndWorld) {
  zv::LogManager::getInstance().startUp();
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("tiny.txt", "1\n1\n1\n0\nred\n*\n");
  EXPECT_EQ(rm.loadSprite("tiny.txt", "t"), -1);
  EXPECT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/Honk.wav", "honk"), -1);
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("ResourceManager not started!"), 2);

  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_EQ(rm.startUp(), -1);
  ASSERT_EQ(rm.loadSprite("tiny.txt", "a"), 0);
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(rm.isStarted());
  const std::vector<std::string> expected = {
      "Display manager started.", "RM::startUp(): successfully started.", "Resource manager started.",
      "World manager started.", "ResourceManager::startup(): Warning! ResourceManager already started.",
      "World manager stopped", "RM::shutDown(): successfully stopped.", "Resource manager stopped",
      "Display manager stopped"};
  std::vector<std::string> order;
  for (const std::string& line : zvtest::logMessages())
    if (std::find(expected.begin(), expected.end(), line) != expected.end() &&
        std::find(order.begin(), order.end(), line) == order.end())
      order.push_back(line);
  EXPECT_EQ(order, expected);
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

TEST_F(Sounds, GoodFilesLoadAndAreFoundByLabel) {
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/Honk.wav", "honk"), 0);
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/TirePop.wav", "pop"), 0);
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/TireScreech.wav", "screech"), 0);
  zvtest::writeFile("mono16.wav", wav(2205, 1, 16));
  zvtest::writeFile("stereo8.wav", wav(4410, 2, 8, 44100));
  EXPECT_EQ(rm.loadSound("mono16.wav", "a"), 0);
  zv::Sound* p_a = rm.getSound("a");
  EXPECT_EQ(rm.loadSound("stereo8.wav", "b"), 0);
  EXPECT_EQ(rm.loadSound("stereo8.wav", "a"), 0);
  EXPECT_EQ(rm.getSoundCount(), 6);
  EXPECT_EQ(rm.getSound("pop")->getLabel(), "pop");
  EXPECT_EQ(rm.getSound("a"), p_a);  // the first of two labels wins
  EXPECT_NE(rm.getSound("a"), rm.getSound("b"));
  EXPECT_EQ(rm.getSound("Pop"), nullptr);
  EXPECT_TRUE(zvtest::logContains("RM::loadSound(): Sound 'screech' successfully loaded."));
  EXPECT_TRUE(zvtest::logContains("RM::getSound(): Warning! Sound 'Pop' not found."));
  // Whichever output this machine has, a silent one is said once a start-up.
  EXPECT_EQ(zvtest::logCount("RM::startUp(): Warning! No audio device; sounds load but play silently."),
            zv::platform::audioOutputSilent() ? 1 : 0);
}

TEST_F(Sounds, BadFilesAndTheLimitFailWithoutUsingAnEntry) {
  zvtest::writeFile("noise.wav", std::string("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
  zvtest::writeFile("empty.wav", "");
  zvtest::writeFile("header-only.wav", wav(1000, 1, 16).substr(0, 20));
  for (const char* file : {"missing.wav", "noise.wav", "empty.wav", "header-only.wav", "."}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(rm.loadSound(file, "bad"), -1);
    EXPECT_TRUE(zvtest::logContains(std::string("RM::loadSound(): Error! Cannot load sound from file '") + file + "'."));
  }
  EXPECT_EQ(rm.getSoundCount(), 0);
  EXPECT_EQ(rm.getSound("bad"), nullptr);
  zvtest::writeFile("blip.wav", wav(200, 1, 16));
  for (int i = 0; i < zv::MAX_SOUNDS; i++)
    ASSERT_EQ(rm.loadSound("blip.wav", "blip" + std::to_string(i)), 0);
  EXPECT_EQ(rm.loadSound("blip.wav", "one-too-many"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
  EXPECT_NE(rm.getSound("blip99"), nullptr);
  EXPECT_EQ(rm.getSound("one-too-many"), nullptr);
}

TEST_F(Sounds, PlayOnceLoopStopAndShutDown) {
  zvtest::writeFile("short.wav", wav(1100, 1, 16));  // 50 ms
  zvtest::writeFile("tiny.txt", "1\n1\n1\n0\nred\n*\n");
  ASSERT_EQ(rm.loadSprite("tiny.txt", "tiny"), 0);
  ASSERT_EQ(rm.loadSound("short.wav", "once"), 0);
  ASSERT_EQ(rm.loadSound("short.wav", "loop"), 0);
  zv::Sound *p_once = rm.getSound("once"), *p_loop = rm.getSound("loop");
  std::size_t log_lines = zvtest::logMessages().size();
  p_loop->play(true);
  p_once->play();
  EXPECT_TRUE(p_loop->isLooping());
  EXPECT_FALSE(p_once->isLooping());
  for (int waited = 0; waited < 3000 && p_once->isPlaying(); waited += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(p_once->isPlaying());  // ended by itself
  EXPECT_TRUE(p_loop->isPlaying());   // the same length, still going
  for (int i = 0; i < 1000; i++)
    p_once->play(i % 2 == 0), p_once->stop();
  EXPECT_EQ(zvtest::logMessages().size(), log_lines);  // playing does not fill the log
  rm.shutDown();
  EXPECT_FALSE(p_loop->isPlaying());
  // The entries outlive the shut-down; the next start-up empties the tables.
  ASSERT_EQ(rm.startUp(), 0);
  EXPECT_EQ(rm.getSoundCount(), 0);
  EXPECT_EQ(rm.getSpriteCount(), 0);
  EXPECT_EQ(rm.getSprite("tiny"), nullptr);
}

TEST(SoundEntries, AnOutputChosenByTheUserIsKeptAndAnEmptySoundIsHarmless) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  EXPECT_FALSE(zv::platform::prepareAudioOutput());
  EXPECT_STREQ(getenv("ALSOFT_DRIVERS"), "null");
  zv::Sound empty;
  empty.play();  // no buffer: nothing to hear, nothing breaks
  EXPECT_FALSE(empty.isPlaying());
  zvtest::writeFile("blip.wav", wav(22050, 1, 16));
  zv::Sound sound;
  ASSERT_EQ(sound.loadSound("blip.wav"), 0);
  sound.play();
  EXPECT_TRUE(sound.isPlaying());
  sound.stop();
  EXPECT_FALSE(sound.isPlaying());
}
