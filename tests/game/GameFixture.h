// The real game on the real engine, headless at frame time 0, stepped frame
// by frame by a driver object that runs a test's script on every step.
#ifndef GAME_FIXTURE_H
#define GAME_FIXTURE_H

#include <functional>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "GameResources.h"
#include "Racer.h"
#include "Spawner.h"
#include "StartMenu.h"
#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "display/EventKeyboard.h"
#include "display/InputManager.h"
#include "world/ObjectListIterator.h"
#include "world/WorldManager.h"

class Driver : public zv::Object {
 public:
  std::function<void(int)> script;
  int stop_at = 0;
  Driver() {
    setType("Driver");
    setSolidness(zv::SPECTRAL);
    setVisible(false);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    int step = static_cast<const zv::EventStep*>(p_e)->getStepCount();
    if (script)
      script(step);
    if (step >= stop_at)
      zv::GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

class GameTest : public testing::Test {
 public:
  Driver* driver = nullptr;
  StartMenu* menu = nullptr;

  void SetUp() override {
    // The game reads its data from the working directory.
    ASSERT_EQ(symlink(ZELVRA_RUN_DIR "/sprites", "sprites"), 0);
    ASSERT_EQ(symlink(ZELVRA_RUN_DIR "/sounds", "sounds"), 0);
    ASSERT_EQ(zvtest::startHeadless("random_seed:1234,"), 0);
    loadResources();
    driver = new Driver;  // registered first: it sees each frame before the game does
    menu = new StartMenu;
  }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }

  // Runs the loop until (and including) the frame with that step count.
  void runUntil(int last_step, std::function<void(int)> script = nullptr) {
    driver->script = script;
    driver->stop_at = last_step;
    zv::GameManager::getInstance().run();
  }

  static void key(zv::Key k, zv::KeyboardAction action) {
    zv::EventKeyboard e;
    e.setKey(k);
    e.setAction(action);
    zv::InputManager::getInstance().onEvent(&e);
  }

  static int countOfType(const std::string& type) {
    return zv::WorldManager::getInstance().objectsOfType(type).getCount();
  }

  static std::vector<zv::Object*> ofType(const std::string& type) {
    std::vector<zv::Object*> out;
    zv::ObjectList list = zv::WorldManager::getInstance().getAllObjects(true);
    zv::ObjectListIterator li(&list);
    for (li.first(); !li.isDone(); li.next())
      if (li.currentObject()->getType() == type)
        out.push_back(li.currentObject());
    return out;
  }

  static Racer* racer() {
    std::vector<zv::Object*> racers = ofType("Racer");
    return racers.empty() ? nullptr : static_cast<Racer*>(racers[0]);
  }
};

#endif
