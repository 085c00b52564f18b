#include "effects/SplashZelvra.h"

#include "core/GameManager.h"
#include "effects/Splash.h"
#include "resources/Animation.h"
#include "resources/Frame.h"
#include "resources/Sprite.h"
#include "world/WorldManager.h"

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

SplashZelvra::SplashZelvra(Vector init_target) : target(init_target), countdown(30), p_sprite(new Sprite(2)) {
  p_sprite->setWidth(11);
  p_sprite->setHeight(7);
  p_sprite->setColor(BLUE);
  p_sprite->addFrame(Frame(11, 7, joinRows(FLYING[0], 7)));
  p_sprite->addFrame(Frame(11, 7, joinRows(FLYING[1], 7)));
  p_sprite->setLabel("splash-zelvra");
  p_sprite->setSlowdown(2);
  // Blank cells show what is behind instead of wiping it.
  p_sprite->setTransparency(' ');
  Animation animation;
  animation.setSprite(p_sprite);
  setAnimation(animation, true);

  setType("SplashZelvra");
  setSolidness(SPECTRAL);

  Box view = WorldManager::getInstance().getView();
  Vector start(target.getX(), view.getCorner().getY() + view.getVertical() + 6.0f);
  setPosition(start);
  setVelocity(Vector(0.0f, -(start.getY() - target.getY()) / 30.0f));

  registerInterest(STEP_EVENT);
  registerInterest(KEYBOARD_EVENT);
}

SplashZelvra::~SplashZelvra() {
  unregisterInterest(STEP_EVENT);
  unregisterInterest(KEYBOARD_EVENT);
  delete p_sprite;
}

int SplashZelvra::eventHandler(const Event* p_e) {
  GameManager& game = GameManager::getInstance();
  WorldManager& world = WorldManager::getInstance();
  if (game.getGameOver()) {
    world.markForDelete(this);
    return 0;
  }
  if (p_e->getType() == KEYBOARD_EVENT) {
    game.setGameOver(true);
    world.markForDelete(this);
    return 1;
  }
  if (p_e->getType() != STEP_EVENT)
    return 0;

  countdown--;
  if (countdown < 1 && target.getY() >= getPosition().getY())
    setVelocity(Vector(0, 0));
  if (countdown == -15) {
    Sprite* p_landed = new Sprite(1);
    p_landed->setWidth(9);
    p_landed->setHeight(6);
    p_landed->setColor(GREEN);
    p_landed->addFrame(Frame(9, 6, joinRows(LANDED, 6)));
    p_landed->setTransparency(' ');
    p_landed->setLabel("splash-zelvra");
    Animation animation;
    animation.setSprite(p_landed);
    animation.setIndex(1);
    setAnimation(animation, true);
    delete p_sprite;
    p_sprite = p_landed;
    setPosition(getPosition() + Vector(-1, 0));
  }
  if (countdown == -45) {
    game.setGameOver(true);
    world.markForDelete(this);
  }
  return 1;
}

} // namespace zv
