// A long piece streamed from its file. The ResourceManager keeps a table
// of them and stops them at shut-down.
#ifndef ZV_MUSIC_H
#define ZV_MUSIC_H

#include <string>

#include <SFML/Audio.hpp>

#include <zelvra/platform/AudioOutput.h>

namespace zv {

class Music {
 private:
  platform::AudioOutputReady audio_ready;  // before the audio library objects
  sf::Music music;
  std::string label;

  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

 public:
  Music();

  void setLabel(std::string new_label);
  std::string getLabel() const;
  void stop();
};

} // namespace zv

#endif
