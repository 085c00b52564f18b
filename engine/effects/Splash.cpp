#include <zelvra/effects/Splash.h>

#include <zelvra/core/Config.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/effects/SplashZelvra.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/world/WorldManager.h>

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

// The title is drawn after the insect, whose wings pass over the last
// letter as it rises; the title's blank cells let it show through.
Splash::Splash() : SplashObject("Splash", 0), countdown(15) {
  wear(drawSprite("splash", GREEN, TITLE_WIDTH, TITLE_HEIGHT, {SLANTED, UPRIGHT}), 0, true);
  setAltitude(3);

  Box view = WorldManager::getInstance().getView();
  float w = view.getHorizontal(), h = view.getVertical();
  float b = getBox().getHorizontal();
  setPosition(Vector(view.getCorner().getX() + w + b * 0.5f, view.getCorner().getY() + h * 0.5f));

  // With a frame time below 2 ms the title arrives in one step rather than never.
  int half_frame = Config::getInstance().getFrameTime() / 2;
  float f = static_cast<float>(half_frame > 0 ? half_frame : 1);
  setVelocity(Vector(-(w * 0.5f + b * 0.5f + 11.0f) / f, 0.0f));
}

int Splash::step() {
  countdown--;
  if (countdown == 0) {
    Animation animation = getAnimation();
    animation.setIndex(1);
    setAnimation(animation, false);
    setVelocity(Vector(0, 0));
    new SplashZelvra(getPosition() + Vector(24, 1));
  }
  if (countdown == -75)
    WorldManager::getInstance().markForDelete(this);
  return 1;
}

} // namespace zv
