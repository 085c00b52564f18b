// The InputManager's life cycle, routing and key translation; the real X
// events are in InputEventsTest.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"
#include "display/InputManager.h"

using zv::InputManager;

namespace {

class Catcher : public zv::Object {
 public:
  std::vector<std::string> types;
  int eventHandler(const zv::Event* p_e) override {
    types.push_back(p_e->getType());
    return 1;
  }
};

int index(const std::vector<std::string>& log, const std::string& text) {
  for (std::size_t i = 0; i < log.size(); i++)
    if (log[i] == text)
      return static_cast<int>(i);
  return -1;
}

sf::Event::KeyEvent libraryKey(int code) {
  sf::Event::KeyEvent key_event = {};
  key_event.code = static_cast<sf::Keyboard::Key>(code);
  return key_event;
}

} // namespace

TEST(InputLifeCycle, StartsAfterTheDisplayAndStopsBeforeIt) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_TRUE(InputManager::getInstance().isStarted());
  EXPECT_EQ(InputManager::getInstance().getType(), "InputManager");
  EXPECT_EQ(InputManager::getInstance().startUp(), -1);
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(InputManager::getInstance().isStarted());

  std::vector<std::string> log = zvtest::logMessages();
  int display_started = index(log, "Display manager started.");
  int input_started = index(log, "Input manager started.");
  int world_started = index(log, "World manager started.");
  int world_stopped = index(log, "World manager stopped");
  int input_stopped = index(log, "Input manager stopped");
  int display_stopped = index(log, "Display manager stopped");
  ASSERT_GE(display_started, 0);
  EXPECT_LT(display_started, index(log, "InputManager::startUp(): not doing input since in headless mode."));
  EXPECT_LT(index(log, "InputManager::startUp(): successfully started."), input_started);
  EXPECT_LT(input_started, world_started);
  EXPECT_LT(world_stopped, input_stopped);
  EXPECT_LT(index(log, "InputManager::shutDown(): successfully stopped."), input_stopped);
  EXPECT_LT(input_stopped, display_stopped);
  EXPECT_TRUE(zvtest::logContains("InputManager::startup(): Warning! InputManager already started."));
}

TEST(InputLifeCycle, NeedsTheDisplayStartedFirst) {
  zv::LogManager::getInstance().startUp();
  EXPECT_EQ(InputManager::getInstance().startUp(), -1);
  EXPECT_FALSE(InputManager::getInstance().isStarted());
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains(
      "InputManager::startUp(): Error starting InputManager. DisplayManager must be started first."));
}

TEST(InputLifeCycle, HeadlessNeedsNoDisplay) {
  std::string config = "headless:true,";
  zv::Config::getInstance().loadConfig(config);
  zv::LogManager::getInstance().startUp();
  EXPECT_EQ(InputManager::getInstance().startUp(), 0);
  InputManager::getInstance().shutDown();
  zv::LogManager::getInstance().shutDown();
}

// A display started without a window while the configuration no longer
// says headless: the manager still starts, and every frame says why it
// reads nothing.
TEST(InputLifeCycle, MissingWindowIsReportedEachFrame) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  InputManager& im = InputManager::getInstance();
  im.shutDown();
  std::string config = "headless:false,";
  zv::Config::getInstance().loadConfig(config);
  EXPECT_EQ(im.startUp(), 0);
  EXPECT_TRUE(zvtest::logContains("InputManager::startUp(): Warning - DisplayManager unexpectedly returned null "
                                  "window! Cannot disable keyboard repeat."));
  im.getInput();
  im.getInput();
  EXPECT_EQ(zvtest::logCount("InputManager::getInput(): DisplayManager unexpectedly returned null window!"), 2);
  zv::GameManager::getInstance().shutDown();
}

class HeadlessInput : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

TEST_F(HeadlessInput, OnlyKeyboardAndMouseInterestIsTaken) {
  InputManager& im = InputManager::getInstance();
  EXPECT_TRUE(im.isValid("zv-keyboard"));
  EXPECT_TRUE(im.isValid("zv-mouse"));
  EXPECT_FALSE(im.isValid("zv-step"));
  EXPECT_FALSE(im.isValid("zv-keyboard-network"));
  EXPECT_FALSE(im.isValid("my-own"));

  Catcher* p_c = new Catcher;
  EXPECT_EQ(im.registerInterest(p_c, zv::STEP_EVENT), -1);
  EXPECT_TRUE(zvtest::logContains("Manager(InputManager)::registerInterest(): Event 'zv-step' not valid for this Manager"));
}

TEST_F(HeadlessInput, ObjectsRegisterKeyboardAndMouseWithTheInputManager) {
  Catcher* p_c = new Catcher;
  ASSERT_EQ(p_c->registerInterest(zv::KEYBOARD_EVENT), 0);
  ASSERT_EQ(p_c->registerInterest(zv::MOUSE_EVENT), 0);
  zv::EventKeyboard keyboard;
  zv::EventMouse mouse;
  EXPECT_EQ(InputManager::getInstance().onEvent(&keyboard), 1);
  EXPECT_EQ(InputManager::getInstance().onEvent(&mouse), 1);
  EXPECT_EQ(p_c->types, (std::vector<std::string>{"zv-keyboard", "zv-mouse"}));

  // Unregistering goes back to the same manager.
  ASSERT_EQ(p_c->unregisterInterest(zv::KEYBOARD_EVENT), 0);
  EXPECT_EQ(InputManager::getInstance().onEvent(&keyboard), 0);
  EXPECT_EQ(InputManager::getInstance().onEvent(&mouse), 1);
}

TEST_F(HeadlessInput, HeadlessFramesReadNothing) {
  Catcher* p_c = new Catcher;
  p_c->registerInterest(zv::KEYBOARD_EVENT);
  p_c->registerInterest(zv::MOUSE_EVENT);
  InputManager::getInstance().getInput();
  EXPECT_TRUE(p_c->types.empty());
  EXPECT_FALSE(zvtest::logContains("InputManager::getInput()"));
}

TEST(InputEvents, FreshEventsAreUndefined) {
  zv::EventKeyboard keyboard;
  EXPECT_EQ(keyboard.getType(), "zv-keyboard");
  EXPECT_EQ(keyboard.getKey(), zv::KEY_UNDEFINED);
  EXPECT_EQ(keyboard.getAction(), zv::KEYBOARD_UNDEFINED);
  zv::EventMouse mouse;
  EXPECT_EQ(mouse.getType(), "zv-mouse");
  EXPECT_EQ(mouse.getAction(), zv::MOUSE_UNDEFINED);
  EXPECT_EQ(mouse.getButton(), zv::BUTTON_UNDEFINED);
  EXPECT_EQ(mouse.getPosition(), zv::Vector(0, 0));
}

TEST(KeyTranslation, NamedKeys) {
  const InputManager& im = InputManager::getInstance();
  struct {
    sf::Keyboard::Key library;
    zv::Key engine;
  } samples[] = {
      {sf::Keyboard::Space, zv::SPACE},   {sf::Keyboard::Escape, zv::ESCAPE},  {sf::Keyboard::Tab, zv::TAB},
      {sf::Keyboard::Up, zv::UP},         {sf::Keyboard::Pause, zv::PAUSE},    {sf::Keyboard::Tilde, zv::TILDE},
      {sf::Keyboard::Quote, zv::QUOTE},   {sf::Keyboard::RShift, zv::RSHIFT},  {sf::Keyboard::F1, zv::F1},
      {sf::Keyboard::F12, zv::F12},       {sf::Keyboard::A, zv::A},            {sf::Keyboard::Q, zv::Q},
      {sf::Keyboard::Z, zv::Z},           {sf::Keyboard::Num1, zv::NUM1},      {sf::Keyboard::Num9, zv::NUM9},
      {sf::Keyboard::Num0, zv::NUM0},     {sf::Keyboard::BackSpace, zv::BACKSPACE},
  };
  for (const auto& sample : samples) {
    zv::EventKeyboard keyboard = im.toEventKeyboard(libraryKey(sample.library));
    EXPECT_EQ(keyboard.getKey(), sample.engine) << "library key " << sample.library;
    EXPECT_EQ(keyboard.getAction(), zv::KEYBOARD_UNDEFINED);
  }
  EXPECT_EQ(zv::SPACE, 0);
  EXPECT_EQ(zv::F1, 24);
  EXPECT_EQ(zv::A, 36);
  EXPECT_EQ(zv::NUM1, 62);
  EXPECT_EQ(zv::NUM0, 71);
  EXPECT_EQ(zv::BACKSPACE, 72);
}

// Every engine key comes from exactly one library key; every other code,
// the unnamed -1 included, arrives as code + 97.
TEST(KeyTranslation, EachEngineKeyOnceOthersShifted) {
  const InputManager& im = InputManager::getInstance();
  std::set<int> named;
  for (int code = -1; code <= 100; code++) {
    int key = im.toEventKeyboard(libraryKey(code)).getKey();
    if (key >= 0 && key < zv::KEY_COUNT) {
      EXPECT_TRUE(named.insert(key).second) << "engine key " << key << " twice";
    } else {
      EXPECT_EQ(key, code + 97) << "library code " << code;
    }
  }
  EXPECT_EQ(named.size(), 73u);
  EXPECT_EQ(im.toEventKeyboard(libraryKey(sf::Keyboard::LAlt)).getKey(), 136);
  EXPECT_EQ(im.toEventKeyboard(libraryKey(sf::Keyboard::Unknown)).getKey(), 96);
}

TEST(KeyTranslation, TranslationIsTraced) {
  zv::LogManager::getInstance().startUp();
  zv::LogManager::getInstance().setLogLevel(15);
  InputManager::getInstance().toEventKeyboard(libraryKey(sf::Keyboard::A));
  InputManager::getInstance().toEventKeyboard(libraryKey(sf::Keyboard::Home));
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("InputManager::toEventKeyboard(): Keyboard event '$' (0)"));
  int home = static_cast<int>(sf::Keyboard::Home);
  std::string shifted(1, static_cast<char>(home + 97));
  EXPECT_TRUE(zvtest::logContains("InputManager::toEventKeyboard(): Keyboard event '" + shifted + "' (" +
                                  std::to_string(home) + ")"));
}
