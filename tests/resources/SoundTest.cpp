#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "platform/AudioOutput.h"
#include "resources/Music.h"
#include "resources/ResourceManager.h"
#include "resources/Sound.h"

using zv::ResourceManager;

namespace {

void put16(std::string& out, int v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& out, uint32_t v) {
  put16(out, static_cast<int>(v & 0xffff));
  put16(out, static_cast<int>(v >> 16));
}

// A PCM WAV file of a square wave: frames sample frames of channels
// channels at bits (8 or 16) bits a sample.
std::string wav(int frames, int channels, int bits, int rate = 22050) {
  int bytes = bits / 8;
  std::string data;
  for (int i = 0; i < frames; i++)
    for (int c = 0; c < channels; c++) {
      bool high = (i / 20) % 2 == 0;
      if (bits == 8)
        data += static_cast<char>(high ? 200 : 56);
      else
        put16(data, high ? 8000 : -8000);
    }
  std::string out = "RIFF";
  put32(out, static_cast<uint32_t>(36 + data.size()));
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);
  put16(out, channels);
  put32(out, static_cast<uint32_t>(rate));
  put32(out, static_cast<uint32_t>(rate * channels * bytes));
  put16(out, channels * bytes);
  put16(out, bits);
  out += "data";
  put32(out, static_cast<uint32_t>(data.size()));
  return out + data;
}

bool becomes(zv::Sound* p_s, bool playing, int within_ms) {
  for (int waited = 0; waited < within_ms; waited += 10) {
    if (p_s->isPlaying() == playing)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return p_s->isPlaying() == playing;
}

} // namespace

class Sounds : public testing::Test {
 protected:
  ResourceManager& rm = ResourceManager::getInstance();
  void SetUp() override {
    ASSERT_EQ(zvtest::startHeadless(), 0);
    zv::LogManager::getInstance().setLogLevel(1);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

TEST_F(Sounds, TheGamesSoundsLoadAndAreFoundByLabel) {
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/Honk.wav", "honk"), 0);
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/TirePop.wav", "pop"), 0);
  ASSERT_EQ(rm.loadSound(ZELVRA_SOURCE_DIR "/sounds/TireScreech.wav", "screech"), 0);
  EXPECT_EQ(rm.getSoundCount(), 3);
  zv::Sound* p_pop = rm.getSound("pop");
  ASSERT_NE(p_pop, nullptr);
  EXPECT_EQ(p_pop->getLabel(), "pop");
  EXPECT_EQ(rm.getSound("Pop"), nullptr);
  EXPECT_EQ(rm.getSound("never"), nullptr);
  EXPECT_TRUE(zvtest::logContains("RM::loadSound(): Sound 'screech' successfully loaded."));
  EXPECT_TRUE(zvtest::logContains("RM::getSound(): Warning! Sound 'Pop' not found."));
  EXPECT_TRUE(zvtest::logContains("RM::getSound(): Warning! Sound 'never' not found."));
}

TEST_F(Sounds, WavFilesOfSeveralShapesLoad) {
  zvtest::writeFile("mono16.wav", wav(2205, 1, 16));
  zvtest::writeFile("stereo8.wav", wav(4410, 2, 8, 44100));
  EXPECT_EQ(rm.loadSound("mono16.wav", "a"), 0);
  EXPECT_EQ(rm.loadSound("stereo8.wav", "b"), 0);
  EXPECT_EQ(rm.getSoundCount(), 2);
  // Duplicate labels: the first wins.
  zv::Sound* p_first = rm.getSound("a");
  EXPECT_EQ(rm.loadSound("stereo8.wav", "a"), 0);
  EXPECT_EQ(rm.getSound("a"), p_first);
  EXPECT_NE(rm.getSound("a"), rm.getSound("b"));
}

TEST_F(Sounds, UnreadableFilesFailWithoutUsingAnEntry) {
  zvtest::writeFile("good.wav", wav(1000, 1, 16));
  zvtest::writeFile("noise.wav", std::string("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
  zvtest::writeFile("empty.wav", "");
  std::string cut = wav(1000, 1, 16);
  zvtest::writeFile("header-only.wav", cut.substr(0, 20));
  for (const char* file : {"missing.wav", "noise.wav", "empty.wav", "header-only.wav", "."}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(rm.loadSound(file, "bad"), -1);
    EXPECT_TRUE(zvtest::logContains(std::string("RM::loadSound(): Error! Cannot load sound from file '") + file + "'."));
  }
  EXPECT_EQ(rm.getSoundCount(), 0);
  EXPECT_EQ(rm.getSound("bad"), nullptr);
  ASSERT_EQ(rm.loadSound("good.wav", "good"), 0);
  EXPECT_EQ(rm.getSoundCount(), 1);
  rm.getSound("good")->play();
}

TEST_F(Sounds, AtMostOneHundredSounds) {
  zvtest::writeFile("blip.wav", wav(200, 1, 16));
  for (int i = 0; i < zv::MAX_SOUNDS; i++)
    ASSERT_EQ(rm.loadSound("blip.wav", "blip" + std::to_string(i)), 0);
  EXPECT_EQ(rm.loadSound("blip.wav", "one-too-many"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
  EXPECT_EQ(rm.getSoundCount(), 100);
  EXPECT_NE(rm.getSound("blip99"), nullptr);
  EXPECT_EQ(rm.getSound("one-too-many"), nullptr);
}

TEST_F(Sounds, PlayOnceLoopAndStop) {
  zvtest::writeFile("short.wav", wav(1100, 1, 16));  // 50 ms
  ASSERT_EQ(rm.loadSound("short.wav", "short"), 0);
  zv::Sound* p_s = rm.getSound("short");
  p_s->play();
  EXPECT_FALSE(p_s->isLooping());
  EXPECT_TRUE(becomes(p_s, false, 3000));  // ends by itself

  p_s->play(true);
  EXPECT_TRUE(p_s->isLooping());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // four times its length
  EXPECT_TRUE(p_s->isPlaying());
  p_s->stop();
  EXPECT_FALSE(p_s->isPlaying());
}

TEST_F(Sounds, ShutDownStopsWhatIsPlaying) {
  zvtest::writeFile("short.wav", wav(1100, 1, 16));
  ASSERT_EQ(rm.loadSound("short.wav", "short"), 0);
  zv::Sound* p_s = rm.getSound("short");
  p_s->play(true);
  ASSERT_TRUE(p_s->isPlaying());
  rm.shutDown();
  EXPECT_FALSE(p_s->isPlaying());
  // The entry outlives the shut-down; the next start-up empties the table.
  ASSERT_EQ(rm.startUp(), 0);
  EXPECT_EQ(rm.getSoundCount(), 0);
  EXPECT_EQ(rm.getSound("short"), nullptr);
}

TEST_F(Sounds, PlayingDoesNotFillTheLog) {
  zvtest::writeFile("short.wav", wav(500, 1, 16));
  ASSERT_EQ(rm.loadSound("short.wav", "short"), 0);
  zv::Sound* p_s = rm.getSound("short");
  std::size_t before = zvtest::logMessages().size();
  for (int i = 0; i < 2000; i++) {
    p_s->play(i % 2 == 0);
    if (i % 3 == 0)
      p_s->stop();
  }
  EXPECT_EQ(zvtest::logMessages().size(), before);
  // At level 5 each play is one line.
  zv::LogManager::getInstance().setLogLevel(5);
  p_s->play();
  EXPECT_EQ(zvtest::logCount("Sound::play(): Playing sound."), 1);
}

TEST_F(Sounds, MissingDeviceIsReportedOnce) {
  // Whichever output this machine has, sounds work, and a silent one is said once a start-up.
  int expected = zv::platform::audioOutputSilent() ? 1 : 0;
  EXPECT_EQ(zvtest::logCount("RM::startUp(): Warning! No audio device; sounds load but play silently."), expected);
}

TEST(SoundEntries, StartEmptyAndMusicStops) {
  zv::LogManager::getInstance().startUp();
  zv::LogManager::getInstance().setLogLevel(5);
  zv::Sound sound;
  EXPECT_EQ(sound.getLabel(), "[Undefined]");
  sound.play();  // no buffer: nothing to hear, nothing breaks
  sound.stop();
  EXPECT_FALSE(sound.isPlaying());
  zv::Music music;
  EXPECT_EQ(music.getLabel(), "[Undefined]");
  music.stop();
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Music::stop(): Stopping music."));
}

TEST(SoundEntries, AnOutputChosenByTheUserIsKept) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  EXPECT_FALSE(zv::platform::prepareAudioOutput());
  EXPECT_STREQ(getenv("ALSOFT_DRIVERS"), "null");
  zvtest::writeFile("blip.wav", wav(22050, 1, 16));
  zv::Sound sound;
  ASSERT_EQ(sound.loadSound("blip.wav"), 0);
  sound.play();
  EXPECT_TRUE(sound.isPlaying());
  sound.stop();
}
