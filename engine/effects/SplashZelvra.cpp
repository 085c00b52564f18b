#include <zelvra/effects/SplashZelvra.h>

#include <zelvra/core/GameManager.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {

// Seen from above: wings of '#', the head on top, a long body of '|'.
const char* const FLYING[2][7] = {
    {
        "     @     ",
        "#### | ####",
        " ### | ### ",
        "     |     ",
        "     |     ",
        "     |     ",
        "     '     ",
    },
    {
        "     @     ",
        "  ## | ##  ",
        " ### | ### ",
        "#### | ####",
        "     |     ",
        "     |     ",
        "     '     ",
    },
};

// Wings folded along the body, perched on a short line; its left columns
// stay empty, where the title's last letter stands.
const char* const LANDED[6] = {
    "     @   ",
    "    #|#  ",
    "    #|#  ",
    "    #|#  ",
    "     '   ",
    "   ______",
};

} // namespace

SplashZelvra::SplashZelvra(Vector init_target) : SplashObject("SplashZelvra", 1), target(init_target), countdown(30) {
  Sprite* p_flying = drawSprite("splash-zelvra", BLUE, 11, 7, {FLYING[0], FLYING[1]});
  p_flying->setSlowdown(2);
  wear(p_flying);

  Box view = WorldManager::getInstance().getView();
  Vector start(target.getX(), view.getCorner().getY() + view.getVertical() + 6.0f);
  setPosition(start);
  setVelocity(Vector(0.0f, -(start.getY() - target.getY()) / 30.0f));
}

int SplashZelvra::step() {
  countdown--;
  if (countdown < 1 && target.getY() >= getPosition().getY())
    setVelocity(Vector(0, 0));
  if (countdown == -15) {
    wear(drawSprite("splash-zelvra", GREEN, 9, 6, {LANDED}), 1);
    setPosition(getPosition() + Vector(-1, 0));
  }
  if (countdown == -45) {
    GameManager::getInstance().setGameOver(true);
    WorldManager::getInstance().markForDelete(this);
  }
  return 1;
}

} // namespace zv
