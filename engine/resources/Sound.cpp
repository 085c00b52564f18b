#include <zelvra/resources/Sound.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/platform/Platform.h>

namespace zv {

Sound::Sound() : label("[Undefined]") {}

Sound::~Sound() { sound.resetBuffer(); }

int Sound::loadSound(std::string filename) {
  // The audio library waits for ever on a folder or a pipe.
  if (!platform::isRegularFile(filename.c_str()) || !sound_buffer.loadFromFile(filename)) {
    sound.resetBuffer();
    return -1;
  }
  sound.setBuffer(sound_buffer);
  return 0;
}

void Sound::setLabel(std::string new_label) { label = new_label; }
std::string Sound::getLabel() const { return label; }

void Sound::play(bool loop) {
  LogManager::getInstance().writeLog(5, "Sound::play(): Playing sound.");
  sound.play();
  sound.setLoop(loop);
}

void Sound::stop() { sound.stop(); }

bool Sound::isPlaying() const { return sound.getStatus() == sf::Sound::Playing; }
bool Sound::isLooping() const { return sound.getLoop(); }

} // namespace zv
