#include "effects/Splash.h"

#include "core/Config.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "effects/SplashZelvra.h"
#include "resources/Animation.h"
#include "resources/Frame.h"
#include "resources/Sprite.h"
#include "world/WorldManager.h"

namespace zv {

namespace {

const int TITLE_WIDTH = 47;
const int TITLE_HEIGHT = 8;

const char* const SLANTED[TITLE_HEIGHT] = {
    "                                               ",
    "   _____  ____   _     __   __  ____      __   ",
    "  /__  / / ___/ / /    \\ \\ / / /  _ \\    /  \\  ",
    "   / /  /  _/  / /     \\ \\/ / / /_/ /  / /\\ \\  ",
    "  / /_  / /__  / /__    \\  /  /  _ /  / /__\\ \\ ",
    "/____/ /____/ /____/    \\/   /_/ \\_\\ /_/  \\_\\  ",
    "                                               ",
    "                                               ",
};

const char* const UPRIGHT[TITLE_HEIGHT] = {
    "                                               ",
    "  _____  ____   _     __   __  ____      __    ",
    " |__  / | ___| | |    \\ \\ / / |  _ \\    /  \\   ",
    "   / /  |  _|  | |     \\ \\/ / | |_| |  / /\\ \\  ",
    "  / /_  | |__  | |__    \\  /  |  _ /  / /__\\ \\ ",
    " /____| |____| |____|    \\/   |_| \\_\\ /_/  \\_\\ ",
    "  ___________________________________________  ",
    "                                               ",
};

} // namespace

std::string joinRows(const char* const* rows, int height) {
  std::string frame;
  for (int i = 0; i < height; i++)
    frame += rows[i];
  return frame;
}

int splash() {
  LogManager& log = LogManager::getInstance();
  log.writeLog(10, "splash(): Started.");
  if (!GameManager::getInstance().isStarted()) {
    log.writeLog("splash(): Error! Cannot run splash screen until game manger is started.");
    return -1;
  }
  new Splash;
  GameManager::getInstance().run();
  log.writeLog(10, "splash(): Finished.");
  return 0;
}

Splash::Splash() : countdown(15), p_sprite(new Sprite(2)) {
  p_sprite->setWidth(TITLE_WIDTH);
  p_sprite->setHeight(TITLE_HEIGHT);
  p_sprite->setColor(GREEN);
  p_sprite->addFrame(Frame(TITLE_WIDTH, TITLE_HEIGHT, joinRows(SLANTED, TITLE_HEIGHT)));
  p_sprite->addFrame(Frame(TITLE_WIDTH, TITLE_HEIGHT, joinRows(UPRIGHT, TITLE_HEIGHT)));
  p_sprite->setLabel("splash");

  Animation animation;
  animation.setSprite(p_sprite);
  animation.setSlowdownCount(-1);
  setAnimation(animation, true);

  setType("Splash");
  setSolidness(SPECTRAL);
  // Drawn after the insect, whose wings pass over the last letter as it
  // rises; the title's blank cells let it show through.
  p_sprite->setTransparency(' ');
  setAltitude(3);

  Box view = WorldManager::getInstance().getView();
  float w = view.getHorizontal(), h = view.getVertical();
  float b = getBox().getHorizontal();
  setPosition(Vector(view.getCorner().getX() + w + b * 0.5f, view.getCorner().getY() + h * 0.5f));

  // With a frame time below 2 ms the title arrives in one step rather than never.
  int half_frame = Config::getInstance().getFrameTime() / 2;
  float f = static_cast<float>(half_frame > 0 ? half_frame : 1);
  setVelocity(Vector(-(w * 0.5f + b * 0.5f + 11.0f) / f, 0.0f));

  registerInterest(STEP_EVENT);
  registerInterest(KEYBOARD_EVENT);
}

Splash::~Splash() {
  unregisterInterest(STEP_EVENT);
  unregisterInterest(KEYBOARD_EVENT);
  delete p_sprite;
}

int Splash::eventHandler(const Event* p_e) {
  GameManager& game = GameManager::getInstance();
  WorldManager& world = WorldManager::getInstance();
  if (game.getGameOver()) {
    world.markForDelete(this);
    return 0;
  }
  if (p_e->getType() == KEYBOARD_EVENT) {
    game.setGameOver(true);
    world.markForDelete(this);
    return 0;
  }
  if (p_e->getType() == STEP_EVENT) {
    countdown--;
    if (countdown == 0) {
      Animation animation = getAnimation();
      animation.setIndex(1);
      setAnimation(animation, false);
      setVelocity(Vector(0, 0));
      new SplashZelvra(getPosition() + Vector(24, 1));
    }
    if (countdown == -75)
      world.markForDelete(this);
    return 1;
  }
  return 0;
}

} // namespace zv
