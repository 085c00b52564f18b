#include <zelvra/resources/ResourceManager.h>

#include <fstream>
#include <new>

#include <zelvra/core/InstalledData.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/platform/AudioOutput.h>
#include <zelvra/resources/SpriteFile.h>

namespace zv {

ResourceManager::ResourceManager() : sprite_count(0), sound_count(0), music_count(0) {
  setType("ResourceManager");
  for (Sprite*& p_s : sprite)
    p_s = nullptr;
}

// Sprites still loaded are the game's to release through shutDown().
ResourceManager::~ResourceManager() {}

ResourceManager& ResourceManager::getInstance() {
  static ResourceManager instance;
  return instance;
}

int ResourceManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  sprite_count = 0;
  sound_count = 0;
  music_count = 0;
  Manager::startUp();
  if (platform::audioOutputSilent())
    log.writeLog("RM::startUp(): Warning! No audio device; sounds load but play silently.");
  log.writeLog(5, "RM::startUp(): successfully started.");
  return 0;
}

void ResourceManager::shutDown() {
  for (int i = 0; i < sprite_count; i++) {
    delete sprite[i];
    sprite[i] = nullptr;
  }
  sprite_count = 0;
  for (int i = 0; i < sound_count; i++)
    sound[i].stop();
  for (int i = 0; i < music_count; i++)
    music[i].stop();
  Manager::shutDown();
  LogManager::getInstance().writeLog(5, "RM::shutDown(): successfully stopped.");
}

namespace {

// Characters the display cannot show as they are.
int countNonAscii(const Sprite* p_s) {
  int count = 0;
  for (int i = 0; i < p_s->getFrameCount(); i++)
    for (char c : p_s->getFrame(i).getString())
      if (static_cast<unsigned char>(c) > 127)
        count++;
  return count;
}

void dumpSprite(const Sprite* p_s, const std::string& label) {
  LogManager& log = LogManager::getInstance();
  if (log.getLogLevel() < 15)
    return;
  log.writeLog(15, "RM::loadSprite(): Sprite '%s' frames:", label.c_str());
  std::size_t width = p_s->getWidth() > 0 ? static_cast<std::size_t>(p_s->getWidth()) : 0;
  for (int i = 0; i < p_s->getFrameCount(); i++) {
    log.writeLog(15, "\tFrame %d:", i + 1);
    std::string frame_str = p_s->getFrame(i).getString();
    for (int row = 0; row < p_s->getHeight(); row++) {
      std::size_t start = static_cast<std::size_t>(row) * width;
      std::string text = start < frame_str.size() ? frame_str.substr(start, width) : "";
      log.writeLog(15, "\t%s", text.c_str());
    }
  }
}

} // namespace

int ResourceManager::loadSprite(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (!isStarted()) {
    log.writeLog("%s not started!", getType().c_str());
    return -1;
  }
  if (sprite_count == MAX_SPRITES) {
    log.writeLog("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is %d).", MAX_SPRITES);
    log.writeLog("RM::loadRobustSprite(): Sprite '%s' not loaded.", label.c_str());
    return -1;
  }
  log.writeLog("RM::loadSprite(): Loading sprite '%s'.", filename.c_str());
  std::ifstream file(InstalledData::getInstance().dataFile(filename));
  if (!file.is_open()) {
    log.writeLog("RM::loadSprite(): Error! Cannot open file '%s'.", filename.c_str());
    log.writeLog("RM::loadSprite(): Sprite '%s' not loaded.", label.c_str());
    return -1;
  }

  Sprite* p_new = nullptr;
  try {
    setSpriteLineCount(0);
    std::string first = getLine(&file, false);
    file.clear();
    file.seekg(0);
    if (first == "<HEADER>") {
      log.writeLog(1, "RM::loadSprite(): assuming robust sprite file format.");
      p_new = loadRobustSprite(&file);
    } else if (atoi(first.c_str()) >= 1) {
      log.writeLog(1, "RM::loadSprite(): assuming simple sprite file format.");
      p_new = loadSimpleSprite(&file);
    } else {
      log.writeLog("RM::loadSprite(): Error! Unknown sprite file format.");
      log.writeLog("RM::loadSprite(): First line is '%s'.", first.c_str());
      log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
      return -1;
    }
  } catch (const std::bad_alloc&) {
    // A file too large for memory; the reader has released what it built.
    log.writeLog("RM::loadSprite(): Error! Out of memory reading '%s'.", filename.c_str());
    p_new = nullptr;
  }
  if (!p_new) {
    log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
    return -1;
  }

  p_new->setLabel(label);
  sprite[sprite_count] = p_new;
  sprite_count++;
  dumpSprite(p_new, label);
  int non_ascii = countNonAscii(p_new);
  if (non_ascii > 0)
    log.writeLog("RM::loadSprite(): Warning! Sprite '%s' has %d characters outside 7-bit ASCII, drawn as '?'.",
                 label.c_str(), non_ascii);
  log.writeLog(1, "RM::loadSprite(): Sprite '%s' loaded.", label.c_str());
  return 0;
}

Sprite* ResourceManager::getSprite(std::string label) const {
  LogManager& log = LogManager::getInstance();
  log.writeLog(5, "RM::getSprite(): Looking for sprite '%s'.", label.c_str());
  for (int i = 0; i < sprite_count; i++)
    if (sprite[i] && sprite[i]->getLabel() == label)
      return sprite[i];
  log.writeLog("RM::getSprite(): Warning! Sprite '%s' not found.", label.c_str());
  return nullptr;
}

int ResourceManager::getSpriteCount() const { return sprite_count; }

int ResourceManager::loadSound(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (!isStarted()) {
    log.writeLog("%s not started!", getType().c_str());
    return -1;
  }
  if (sound_count == MAX_SOUNDS) {
    log.writeLog("RM::loadSound(): Error! Unable to add more sounds (max is %d).", MAX_SOUNDS);
    return -1;
  }
  if (sound[sound_count].loadSound(InstalledData::getInstance().dataFile(filename)) == -1) {
    log.writeLog("RM::loadSound(): Error! Cannot load sound from file '%s'.", filename.c_str());
    return -1;
  }
  sound[sound_count].setLabel(label);
  log.writeLog(1, "RM::loadSound(): Sound '%s' successfully loaded.", label.c_str());
  sound_count++;
  return 0;
}

Sound* ResourceManager::getSound(std::string label) {
  LogManager& log = LogManager::getInstance();
  log.writeLog(5, "RM::getSound(): Looking for sound '%s'.", label.c_str());
  for (int i = 0; i < sound_count; i++)
    if (sound[i].getLabel() == label)
      return &sound[i];
  log.writeLog("RM::getSound(): Warning! Sound '%s' not found.", label.c_str());
  return nullptr;
}

int ResourceManager::getSoundCount() const { return sound_count; }

} // namespace zv
