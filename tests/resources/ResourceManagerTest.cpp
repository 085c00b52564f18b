#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/platform/AudioOutput.h>
#include <zelvra/resources/ResourceManager.h>

using zv::ResourceManager;

namespace {

void put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++)
    out += static_cast<char>((v >> (8 * i)) & 0xff);
}

// A PCM WAV file of a square wave of the given sample frames, channels and bits (8 or 16).
std::string wav(int frames, int channels, int bits, uint32_t rate = 22050) {
  std::string data, out = "RIFF";
  for (int i = 0; i < frames * channels; i++)
    put(data, bits == 8 ? ((i / 20) % 2 ? 56u : 200u) : ((i / 20) % 2 ? 0xE0C0u : 8000u), bits / 8);
  put(out, static_cast<uint32_t>(36 + data.size()), 4);
  out += "WAVEfmt ";
  uint32_t block = static_cast<uint32_t>(channels * bits / 8);
  for (auto [v, n] : {std::pair<uint32_t, int>{16, 4}, {1, 2}, {static_cast<uint32_t>(channels), 2}, {rate, 4},
                      {rate * block, 4}, {block, 2}, {static_cast<uint32_t>(bits), 2}})
    put(out, v, n);
  out += "data";
  put(out, static_cast<uint32_t>(data.size()), 4);
  return out + data;
}

} // namespace

TEST(ResourceManagerLife, RefusesWorkWhenNotStartedAndStartsBetweenDisplayAndWorld) {
  zv::LogManager::getInstance().startUp();
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("tiny.txt", "1\n1\n1\n0\nred\n*\n");
  EXPECT_EQ((Codes{rm.loadSprite("tiny.txt", "t"), rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/Honk.wav", "honk")}), (Codes{-1, -1}));
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("ResourceManager not started!"), 2);
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_EQ(rm.startUp(), -1);
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(rm.isStarted());
  std::vector<std::string> log = zvtest::logMessages();
  auto at = log.begin();
  for (const char* line : {"Display manager started.", "RM::startUp(): successfully started.",
                           "Resource manager started.", "World manager started.",
                           "ResourceManager::startup(): Warning! ResourceManager already started.",
                           "World manager stopped", "RM::shutDown(): successfully stopped.", "Resource manager stopped",
                           "Display manager stopped"})
    EXPECT_NE(at = std::find(at, log.end(), line), log.end()) << "missing or out of order: " << line;
}

TEST(ResourceManagerLife, EngineStartFailsWhenItCannotStart) {
  zv::LogManager::getInstance().startUp();
  ResourceManager::getInstance().startUp();  // already started: the engine's own start-up is refused
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::startHeadless(), -1);
  EXPECT_TRUE(zvtest::logContains("Error starting resource manager!"));
  EXPECT_FALSE(zvtest::logContains("World manager started."));
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(ResourceManager::getInstance().isStarted());
}

TEST(Sounds, GoodAndBadFilesAndAtMostOneHundred) {
  // An audio library set up with no usable driver: the output is silent on any machine.
  unsetenv("ALSOFT_DRIVERS");
  zvtest::writeFile("alsoft.conf", "[general]\ndrivers=none\n");
  setenv("ALSOFT_CONF", "alsoft.conf", 1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("mono16.wav", wav(2205, 1, 16));
  zvtest::writeFile("stereo8.wav", wav(4410, 2, 8, 44100));
  zvtest::writeFile("noise.wav", std::string("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
  zvtest::writeFile("header-only.wav", wav(1000, 1, 16).substr(0, 20));
  zvtest::writeFile("empty.wav", "");
  for (const char* file : {"missing.wav", "noise.wav", "empty.wav", "header-only.wav", "."}) {
    EXPECT_EQ(rm.loadSound(file, "bad"), -1);
    EXPECT_TRUE(zvtest::logContains(std::string("RM::loadSound(): Error! Cannot load sound from file '") + file + "'."));
  }
  for (const char* file : {"Honk", "TirePop", "TireScreech"})
    ASSERT_EQ(rm.loadSound(std::string(ZELVRA_SOURCE_DIR "/sounds/") + file + ".wav", file), 0);
  EXPECT_EQ((Codes{rm.loadSound("mono16.wav", "a"), rm.loadSound("stereo8.wav", "b")}), (Codes{0, 0}));
  zv::Sound* p_a = rm.getSound("a");
  EXPECT_EQ(rm.loadSound("stereo8.wav", "a"), 0);
  EXPECT_EQ(rm.getSound("a"), p_a);  // the first of two labels wins
  EXPECT_NE(rm.getSound("b"), p_a);
  EXPECT_EQ(rm.getSound("TirePop")->getLabel(), "TirePop");
  EXPECT_EQ(rm.getSound("bad"), nullptr);
  EXPECT_TRUE(zvtest::logContains("RM::getSound(): Warning! Sound 'bad' not found."));
  for (int i = rm.getSoundCount(); i < zv::MAX_SOUNDS; i++)
    ASSERT_EQ(rm.loadSound("mono16.wav", "blip" + std::to_string(i)), 0);
  EXPECT_EQ(rm.loadSound("mono16.wav", "one-too-many"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
  EXPECT_TRUE(rm.getSound("blip99") && !rm.getSound("one-too-many"));
  // A silent output is said once a start-up.
  EXPECT_EQ(zvtest::logCount("RM::startUp(): Warning! No audio device; sounds load but play silently."), 1);
  zv::GameManager::getInstance().shutDown();
}

TEST(Sounds, PlayOnceLoopStopAndShutDown) {
  setenv("ALSOFT_DRIVERS", "null", 1);  // a choice of the user's is kept
  EXPECT_FALSE(zv::platform::prepareAudioOutput());
  EXPECT_STREQ(getenv("ALSOFT_DRIVERS"), "null");
  ASSERT_EQ(zvtest::startHeadless(), 0);
  ResourceManager& rm = ResourceManager::getInstance();
  zvtest::writeFile("short.wav", wav(1100, 1, 16));  // 50 ms
  zvtest::writeFile("tiny.txt", "1\n1\n1\n0\nred\n*\n");
  ASSERT_EQ((Codes{rm.loadSprite("tiny.txt", "tiny"), rm.loadSound("short.wav", "once"), rm.loadSound("short.wav", "loop")}),
            (Codes{0, 0, 0}));
  zv::Sound *p_once = rm.getSound("once"), *p_loop = rm.getSound("loop"), empty;
  std::size_t log_lines = zvtest::logMessages().size();
  empty.play();  // no buffer: nothing to hear, nothing breaks
  p_loop->play(true);
  p_once->play();
  EXPECT_TRUE(p_loop->isLooping() && !p_once->isLooping() && !empty.isPlaying());
  EXPECT_TRUE(zvtest::waitUntil([&] { return !p_once->isPlaying(); }));  // ended by itself
  EXPECT_TRUE(p_loop->isPlaying());   // the same length, still going
  for (int i = 0; i < 1000; i++)
    p_once->play(i % 2 == 0), p_once->stop();
  EXPECT_EQ(zvtest::logMessages().size(), log_lines);  // playing does not fill the log
  rm.shutDown();
  EXPECT_FALSE(p_loop->isPlaying());
  // The entries outlive the shut-down; the next start-up empties the tables.
  ASSERT_EQ(rm.startUp(), 0);
  EXPECT_EQ(std::vector<int>({rm.getSoundCount(), rm.getSpriteCount()}), std::vector<int>({0, 0}));
  EXPECT_EQ(rm.getSprite("tiny"), nullptr);
  zv::GameManager::getInstance().shutDown();
}
