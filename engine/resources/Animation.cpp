#include <zelvra/resources/Animation.h>

#include <cstdlib>

#include <zelvra/core/LogManager.h>
#include <zelvra/core/Match.h>
#include <zelvra/core/Utility.h>
#include <zelvra/resources/ResourceManager.h>

namespace zv {

Animation::Animation() : p_sprite(nullptr), index(0), slowdown_count(0), modified(true) {}
Animation::~Animation() {}

void Animation::setSprite(Sprite* p_new_sprite) {
  if (p_new_sprite)
    name = p_new_sprite->getLabel();
  p_sprite = p_new_sprite;
  modified = true;
  index = 0;
}

Sprite* Animation::getSprite() const { return p_sprite; }

void Animation::setName(std::string new_name) {
  if (new_name == name)
    return;
  name = new_name;
  modified = true;
}

std::string Animation::getName() const { return name; }

void Animation::setIndex(int new_index) {
  if (new_index == index)
    return;
  index = new_index;
  modified = true;
}

int Animation::getIndex() const { return index; }

void Animation::setSlowdownCount(int new_slowdown_count) {
  if (new_slowdown_count == slowdown_count)
    return;
  slowdown_count = new_slowdown_count;
  modified = true;
}

int Animation::getSlowdownCount() const { return slowdown_count; }
bool Animation::isModified() const { return modified; }

int Animation::draw(Vector position) {
  if (!p_sprite)
    return 0;
  int result = p_sprite->draw(index, position, p_sprite->getTransparency());
  if (slowdown_count == -1)
    return result;
  // Counters read back from text may be anywhere in the int range: step in 64 bits.
  long long next_count = static_cast<long long>(slowdown_count) + 1;
  if (next_count < p_sprite->getSlowdown()) {
    setSlowdownCount(static_cast<int>(next_count));
    return result;
  }
  setSlowdownCount(0);
  long long next_index = static_cast<long long>(index) + 1;
  if (next_index < p_sprite->getFrameCount()) {
    setIndex(static_cast<int>(next_index));
    return result;
  }
  setIndex(0);
  return result;
}

Box Animation::getBox() const {
  if (!p_sprite)
    return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
  float w = static_cast<float>(p_sprite->getWidth());
  float h = static_cast<float>(p_sprite->getHeight());
  return Box(Vector(-w / 2.0f, -h / 2.0f), w, h);
}

std::string Animation::serialize(std::string attributes) {
  bool selected = attributes == "ALL" || (attributes.empty() && modified) ||
                  attributes.find("ANIMATION,") != std::string::npos;
  if (!selected)
    return "";
  modified = false;
  return "sprite_name:" + name + "," + "sprite_index:" + toString(index) + "," +
         "sprite_slowdown_count:" + toString(slowdown_count) + ",";
}

int Animation::deserialize(std::string text) {
  // An empty text would search the matcher's previous parse.
  if (text.empty())
    return 0;
  LogManager& log = LogManager::getInstance();
  std::string value = match(text, "sprite_name");
  if (!value.empty()) {
    log.writeLog(20, "Animation::deserialize(): sprite_name is '%s'", value.c_str());
    Sprite* p_found = ResourceManager::getInstance().getSprite(value);
    if (p_found)
      setSprite(p_found);
    else
      log.writeLog("Animation::Match(): Sprite '%s' not found", value.c_str());
    setName(value);
  }
  if (!(value = match("", "sprite_index")).empty()) {
    int new_index = atoi(value.c_str());
    log.writeLog(20, "Animation::deserialize(): sprite_index is %d", new_index);
    setIndex(new_index);
  }
  if (!(value = match("", "sprite_slowdown_count")).empty()) {
    int new_count = atoi(value.c_str());
    log.writeLog(20, "Animation::deserialize(): sprite_slowdown_count is %d", new_count);
    setSlowdownCount(new_count);
  }
  return 0;
}

} // namespace zv
