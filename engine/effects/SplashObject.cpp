#include <zelvra/effects/SplashObject.h>

#include <zelvra/core/GameManager.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/resources/Frame.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

SplashObject::SplashObject(std::string type, int init_key_result) : key_result(init_key_result), p_sprite(nullptr) {
  setType(type);
  setSolidness(SPECTRAL);
  registerInterest(STEP_EVENT);
  registerInterest(KEYBOARD_EVENT);
}

SplashObject::~SplashObject() {
  unregisterInterest(STEP_EVENT);
  unregisterInterest(KEYBOARD_EVENT);
  delete p_sprite;
}

Sprite* SplashObject::drawSprite(const char* label, Color color, int width, int height,
                                 std::initializer_list<const char* const*> frames) {
  Sprite* p_new = new Sprite(static_cast<int>(frames.size()));
  p_new->setWidth(width);
  p_new->setHeight(height);
  p_new->setColor(color);
  for (const char* const* rows : frames) {
    std::string text;
    for (int i = 0; i < height; i++)
      text += rows[i];
    p_new->addFrame(Frame(width, height, text));
  }
  p_new->setLabel(label);
  p_new->setTransparency(' ');
  return p_new;
}

void SplashObject::wear(Sprite* p_new, int index, bool frozen) {
  Animation animation;
  animation.setSprite(p_new);
  animation.setIndex(index);
  if (frozen)
    animation.setSlowdownCount(-1);
  setAnimation(animation, true);
  delete p_sprite;
  p_sprite = p_new;
}

int SplashObject::eventHandler(const Event* p_e) {
  GameManager& game = GameManager::getInstance();
  if (game.getGameOver()) {
    WorldManager::getInstance().markForDelete(this);
    return 0;
  }
  if (p_e->getType() == KEYBOARD_EVENT) {
    game.setGameOver(true);
    WorldManager::getInstance().markForDelete(this);
    return key_result;
  }
  if (p_e->getType() == STEP_EVENT)
    return step();
  return 0;
}

} // namespace zv
