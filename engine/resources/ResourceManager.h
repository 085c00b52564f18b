// The store of named sprites and sounds. Sprites are read from sprite
// files at start-up and found by label; the manager owns them until it
// shuts down.
#ifndef ZV_RESOURCE_MANAGER_H
#define ZV_RESOURCE_MANAGER_H

#include <string>

#include <zelvra/core/Manager.h>
#include <zelvra/resources/Music.h>
#include <zelvra/resources/Sound.h>
#include <zelvra/resources/Sprite.h>

namespace zv {

const int MAX_SPRITES = 1000;
const int MAX_SOUNDS = 100;
const int MAX_MUSIC = 50;

class ResourceManager : public Manager {
 private:
  Sprite* sprite[MAX_SPRITES];
  int sprite_count;
  Sound sound[MAX_SOUNDS];
  int sound_count;
  Music music[MAX_MUSIC];
  int music_count;

  ResourceManager();
  ResourceManager(const ResourceManager&) = delete;
  void operator=(const ResourceManager&) = delete;

 public:
  static ResourceManager& getInstance();
  ~ResourceManager() override;

  int startUp() override;
  // Deletes every sprite and stops every sound and music entry.
  void shutDown() override;

  // Reads a sprite file (the format is told by its first line) and keeps
  // the sprite under label. On failure the tables stay as they were.
  int loadSprite(std::string filename, std::string label);
  // The first sprite loaded under exactly that label, or null.
  Sprite* getSprite(std::string label) const;
  int getSpriteCount() const;

  // Decodes an audio file into the next free sound entry.
  int loadSound(std::string filename, std::string label);
  // The first sound loaded under exactly that label, or null.
  Sound* getSound(std::string label);
  int getSoundCount() const;
};

} // namespace zv

#endif
