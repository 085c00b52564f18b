// A short sound effect: decoded samples and one voice that plays them.
#ifndef ZV_SOUND_H
#define ZV_SOUND_H

#include <string>

#include <SFML/Audio.hpp>

#include <zelvra/platform/AudioOutput.h>

namespace zv {

class Sound {
 private:
  platform::AudioOutputReady audio_ready;  // before the audio library objects
  sf::Sound sound;
  sf::SoundBuffer sound_buffer;
  std::string label;

  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

 public:
  Sound();
  ~Sound();

  // Decodes the file; -1 (and no buffer on the voice) when it cannot.
  int loadSound(std::string filename);
  void setLabel(std::string new_label);
  std::string getLabel() const;

  // Starts the voice from the beginning, once or looping until stop().
  void play(bool loop = false);
  void stop();
  bool isPlaying() const;
  bool isLooping() const;
};

} // namespace zv

#endif
