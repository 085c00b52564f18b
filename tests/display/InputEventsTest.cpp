// Real key and button events from an X server reach registered objects
// through the InputManager.
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Keyboard.hpp>

#include "PrivateDisplay.h"
#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"
#include "display/InputManager.h"
#include "platform/Platform.h"

using zv::InputManager;

namespace {

const int WAIT_MS = 15000;

// One input event as an object saw it, with the frame it came in.
struct Seen {
  int frame;
  bool keyboard;
  int code;    // key or button
  int action;
  zv::Vector position;
};

class Listener : public zv::Object {
 public:
  std::vector<Seen> seen;
  int frame = 0;
  // Run from the step event, in loop tests.
  std::function<void(int)> on_step;

  Listener() {
    registerInterest(zv::KEYBOARD_EVENT);
    registerInterest(zv::MOUSE_EVENT);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::KEYBOARD_EVENT) {
      auto p_k = static_cast<const zv::EventKeyboard*>(p_e);
      seen.push_back({frame, true, p_k->getKey(), p_k->getAction(), zv::Vector()});
      return 1;
    }
    if (p_e->getType() == zv::MOUSE_EVENT) {
      auto p_m = static_cast<const zv::EventMouse*>(p_e);
      seen.push_back({frame, false, p_m->getButton(), p_m->getAction(), p_m->getPosition()});
      return 1;
    }
    if (p_e->getType() == zv::STEP_EVENT) {
      frame = static_cast<const zv::EventStep*>(p_e)->getStepCount();
      if (on_step)
        on_step(frame);
      return 1;
    }
    return 0;
  }
  // Keyboard (or mouse) events, of one frame or (frame -1) of all.
  std::vector<Seen> events(bool keyboard, int f = -1) const {
    std::vector<Seen> out;
    for (const Seen& s : seen)
      if (s.keyboard == keyboard && (f == -1 || s.frame == f))
        out.push_back(s);
    return out;
  }
  // First frame with this keyboard or mouse event, -1 when none.
  int frameOf(bool keyboard, int code, int action) const {
    for (const Seen& s : seen)
      if (s.keyboard == keyboard && s.code == code && s.action == action)
        return s.frame;
    return -1;
  }
};

std::string describe(const std::vector<Seen>& list) {
  std::string out;
  for (const Seen& s : list)
    out += "[frame " + std::to_string(s.frame) + (s.keyboard ? " key " : " button ") + std::to_string(s.code) +
           " action " + std::to_string(s.action) + "] ";
  return out;
}

class RealInput : public testing::Test {
 protected:
  Listener* p_listener = nullptr;
  unsigned long window = 0;

  void SetUp() override {
    std::string problem = zvtest::usePrivateDisplay();
    ASSERT_TRUE(problem.empty()) << problem;
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    zvtest::writeFile("zv-config.txt", std::string("font_file:") + ZELVRA_RUN_DIR + "/zv-font.ttf,frame_time:5,");
    ASSERT_EQ(zv::GameManager::getInstance().startUp(), 0);
    sf::RenderWindow* p_window = zv::DisplayManager::getInstance().getRenderWindow();
    ASSERT_NE(p_window, nullptr);
    window = static_cast<unsigned long>(p_window->getSystemHandle());
    ASSERT_TRUE(zvtest::focusWindow(window));
    p_listener = new Listener;
  }
  void TearDown() override {
    // Nothing may stay pressed for the next test of this process.
    if (window)
      zvtest::xdotool("keyup a F10 F11 space Up Home mouseup 1 mouseup 3");
    zv::GameManager::getInstance().shutDown();
  }

  // One frame of input.
  void frame() {
    p_listener->frame++;
    InputManager::getInstance().getInput();
  }
  // Frames until the condition holds; false after a generous time.
  bool framesUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
    while (std::chrono::steady_clock::now() < end) {
      frame();
      if (done())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  bool framesUntilSeen(bool keyboard, int code, int action) {
    return framesUntil([&] { return p_listener->frameOf(keyboard, code, action) >= 0; });
  }
  // Lets the server deliver what xdotool sent before the next frame looks.
  static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(150)); }
};

} // namespace

TEST_F(RealInput, KeyPressedHeldReleasedInOrder) {
  ASSERT_TRUE(zvtest::xdotool("keydown a"));
  ASSERT_TRUE(framesUntilSeen(true, zv::A, zv::KEYBOARD_PRESSED)) << describe(p_listener->seen);
  int pressed_frame = p_listener->frameOf(true, zv::A, zv::KEYBOARD_PRESSED);
  for (int i = 0; i < 4; i++) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    frame();
  }
  ASSERT_TRUE(zvtest::xdotool("keyup a"));
  ASSERT_TRUE(framesUntilSeen(true, zv::A, zv::KEYBOARD_RELEASED)) << describe(p_listener->seen);
  int released_frame = p_listener->frameOf(true, zv::A, zv::KEYBOARD_RELEASED);
  for (int i = 0; i < 2; i++)
    frame();

  // One press, a held event in every frame the key is down (its first
  // frame included), one release, and nothing after.
  std::vector<Seen> keys = p_listener->events(true);
  ASSERT_GE(keys.size(), 6u) << describe(keys);
  EXPECT_EQ(keys.front().action, zv::KEYBOARD_PRESSED);
  EXPECT_EQ(keys.back().action, zv::KEYBOARD_RELEASED);
  EXPECT_EQ(keys.back().frame, released_frame);
  for (std::size_t i = 0; i < keys.size(); i++)
    EXPECT_EQ(keys[i].code, zv::A);
  for (int f = pressed_frame; f < released_frame; f++) {
    int held = 0;
    for (const Seen& s : p_listener->events(true, f))
      if (s.action == zv::KEYBOARD_HELD)
        held++;
    EXPECT_EQ(held, 1) << "frame " << f << ": " << describe(keys);
  }
  std::vector<Seen> first = p_listener->events(true, pressed_frame);
  ASSERT_EQ(first.size(), 2u) << describe(keys);
  EXPECT_EQ(first[0].action, zv::KEYBOARD_PRESSED);
  EXPECT_EQ(first[1].action, zv::KEYBOARD_HELD);
}

TEST_F(RealInput, PressAndReleaseWithinOneFrame) {
  ASSERT_TRUE(zvtest::xdotool("key space"));
  settle();
  ASSERT_TRUE(framesUntilSeen(true, zv::SPACE, zv::KEYBOARD_PRESSED)) << describe(p_listener->seen);
  int f = p_listener->frameOf(true, zv::SPACE, zv::KEYBOARD_PRESSED);
  std::vector<Seen> keys = p_listener->events(true, f);
  // Up again when polled: no held event.
  ASSERT_EQ(keys.size(), 2u) << describe(keys);
  EXPECT_EQ(keys[0].action, zv::KEYBOARD_PRESSED);
  EXPECT_EQ(keys[1].code, zv::SPACE);
  EXPECT_EQ(keys[1].action, zv::KEYBOARD_RELEASED);
}

TEST_F(RealInput, HoldingAKeyGivesOnePressOnly) {
  // Longer than the server's delay before it repeats a key.
  ASSERT_TRUE(zvtest::xdotool("keydown a"));
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (std::chrono::steady_clock::now() < end) {
    frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(zvtest::xdotool("keyup a"));
  ASSERT_TRUE(framesUntilSeen(true, zv::A, zv::KEYBOARD_RELEASED)) << describe(p_listener->seen);
  int pressed = 0, released = 0, held = 0;
  for (const Seen& s : p_listener->events(true)) {
    pressed += s.action == zv::KEYBOARD_PRESSED;
    released += s.action == zv::KEYBOARD_RELEASED;
    held += s.action == zv::KEYBOARD_HELD;
  }
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(released, 1);
  EXPECT_GT(held, 10);

  // Once the manager stops, the window repeats keys again: the server
  // does repeat, so the single press above was the manager's doing.
  InputManager::getInstance().shutDown();
  sf::RenderWindow* p_window = zv::DisplayManager::getInstance().getRenderWindow();
  sf::Event event;
  while (p_window->pollEvent(event)) {
  }
  ASSERT_TRUE(zvtest::xdotool("keydown a"));
  int repeated = 0;
  end = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
  while (repeated < 3 && std::chrono::steady_clock::now() < end) {
    while (p_window->pollEvent(event))
      repeated += event.type == sf::Event::KeyPressed;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(zvtest::xdotool("keyup a"));
  EXPECT_GE(repeated, 3);
}

TEST_F(RealInput, F11IsNeverHeldButF10Is) {
  ASSERT_TRUE(zvtest::xdotool("keydown F11 keydown F10"));
  ASSERT_TRUE(framesUntil([&] {
    return p_listener->frameOf(true, zv::F11, zv::KEYBOARD_PRESSED) >= 0 &&
           p_listener->frameOf(true, zv::F10, zv::KEYBOARD_PRESSED) >= 0;
  })) << describe(p_listener->seen);
  for (int i = 0; i < 3; i++) {
    frame();
    // The window library does see F11 down.
    EXPECT_TRUE(sf::Keyboard::isKeyPressed(sf::Keyboard::F11));
  }
  ASSERT_TRUE(zvtest::xdotool("keyup F11 keyup F10"));
  ASSERT_TRUE(framesUntilSeen(true, zv::F11, zv::KEYBOARD_RELEASED)) << describe(p_listener->seen);
  EXPECT_GE(p_listener->frameOf(true, zv::F10, zv::KEYBOARD_HELD), 0);
  EXPECT_EQ(p_listener->frameOf(true, zv::F11, zv::KEYBOARD_HELD), -1) << describe(p_listener->seen);
}

// Held keys go out arrows first, then space, return, tab, escape, ...,
// letters, digits: not in the order of the key numbers.
TEST_F(RealInput, HeldKeysGoOutInTheirOwnOrder) {
  ASSERT_TRUE(zvtest::xdotool("keydown a keydown space keydown Up"));
  ASSERT_TRUE(framesUntil([&] { return p_listener->frameOf(true, zv::UP, zv::KEYBOARD_HELD) >= 0; }))
      << describe(p_listener->seen);
  settle();
  frame();
  std::vector<Seen> held;
  for (const Seen& s : p_listener->events(true, p_listener->frame))
    if (s.action == zv::KEYBOARD_HELD)
      held.push_back(s);
  ASSERT_TRUE(zvtest::xdotool("keyup a keyup space keyup Up"));
  ASSERT_EQ(held.size(), 3u) << describe(held);
  EXPECT_EQ(held[0].code, zv::UP);
  EXPECT_EQ(held[1].code, zv::SPACE);
  EXPECT_EQ(held[2].code, zv::A);
}

TEST_F(RealInput, UnnamedKeysArriveShiftedAndAreNeverHeld) {
  const int home = static_cast<int>(sf::Keyboard::Home) + 97;
  ASSERT_TRUE(zvtest::xdotool("keydown Home"));
  ASSERT_TRUE(framesUntilSeen(true, home, zv::KEYBOARD_PRESSED)) << describe(p_listener->seen);
  frame();
  ASSERT_TRUE(zvtest::xdotool("keyup Home"));
  ASSERT_TRUE(framesUntilSeen(true, home, zv::KEYBOARD_RELEASED)) << describe(p_listener->seen);
  for (const Seen& s : p_listener->events(true))
    EXPECT_NE(s.action, zv::KEYBOARD_HELD) << describe(p_listener->seen);
}

TEST_F(RealInput, ClicksMovesAndHeldButtons) {
  // Pixel (130, 170) of the window is cell (10.15625, 5.3125).
  ASSERT_TRUE(zvtest::xdotool("mousemove --window " + std::to_string(window) + " 130 170"));
  ASSERT_TRUE(framesUntil([&] {
    for (const Seen& s : p_listener->events(false))
      if (s.action == zv::MOUSE_MOVED && s.position == zv::Vector(10.15625f, 5.3125f))
        return true;
    return false;
  })) << describe(p_listener->seen);
  EXPECT_EQ(p_listener->frameOf(false, zv::BUTTON_RIGHT, zv::MOUSE_HELD), -1);

  ASSERT_TRUE(zvtest::xdotool("mousedown 3"));
  ASSERT_TRUE(framesUntilSeen(false, zv::BUTTON_RIGHT, zv::MOUSE_CLICKED)) << describe(p_listener->seen);
  int click_frame = p_listener->frameOf(false, zv::BUTTON_RIGHT, zv::MOUSE_CLICKED);
  std::vector<Seen> mouse = p_listener->events(false, click_frame);
  ASSERT_EQ(mouse.size(), 2u) << describe(mouse);
  EXPECT_EQ(mouse[0].position, zv::Vector(10.15625f, 5.3125f));
  EXPECT_EQ(mouse[1].action, zv::MOUSE_HELD);
  EXPECT_EQ(mouse[1].code, zv::BUTTON_RIGHT);
  EXPECT_EQ(mouse[1].position, zv::Vector(10.15625f, 5.3125f));

  // Moving with the button down: the moves first, then one held event at
  // the pointer's place.
  ASSERT_TRUE(zvtest::xdotool("mousemove --window " + std::to_string(window) + " 256 320"));
  settle();
  int before = static_cast<int>(p_listener->seen.size());
  ASSERT_TRUE(framesUntil([&] {
    for (std::size_t i = static_cast<std::size_t>(before); i < p_listener->seen.size(); i++)
      if (p_listener->seen[i].action == zv::MOUSE_MOVED && p_listener->seen[i].position == zv::Vector(20, 10))
        return true;
    return false;
  })) << describe(p_listener->seen);
  mouse = p_listener->events(false, p_listener->frame);
  ASSERT_GE(mouse.size(), 2u) << describe(mouse);
  for (std::size_t i = 0; i + 1 < mouse.size(); i++)
    EXPECT_EQ(mouse[i].action, zv::MOUSE_MOVED);
  EXPECT_EQ(mouse.back().action, zv::MOUSE_HELD);
  EXPECT_EQ(mouse.back().code, zv::BUTTON_RIGHT);
  EXPECT_EQ(mouse.back().position, zv::Vector(20, 10));

  // Releasing sends nothing; a later left and middle click name their buttons.
  ASSERT_TRUE(zvtest::xdotool("mouseup 3"));
  settle();
  frame();
  int after_release = p_listener->frame;
  ASSERT_TRUE(zvtest::xdotool("click 1"));
  ASSERT_TRUE(framesUntilSeen(false, zv::BUTTON_LEFT, zv::MOUSE_CLICKED)) << describe(p_listener->seen);
  ASSERT_TRUE(zvtest::xdotool("click 2"));
  ASSERT_TRUE(framesUntilSeen(false, zv::BUTTON_MIDDLE, zv::MOUSE_CLICKED)) << describe(p_listener->seen);
  for (const Seen& s : p_listener->events(false)) {
    if (s.frame > after_release) {
      EXPECT_NE(s.code, zv::BUTTON_RIGHT) << describe(p_listener->seen);
    }
  }
}

TEST_F(RealInput, ClosingTheWindowEndsTheLoopAfterThatFrame) {
  zv::LogManager::getInstance().setLogLevel(1);
  zv::GameManager& gm = zv::GameManager::getInstance();
  bool closed = false;
  bool timed_out = false;
  p_listener->on_step = [&](int step) {
    if (step == 0)
      zvtest::xdotool("keydown a");
    // Once the held key shows, ask for the close and press another key
    // right behind it.
    if (!closed && p_listener->frameOf(true, zv::A, zv::KEYBOARD_HELD) >= 0) {
      closed = true;
      zvtest::requestClose(window);
      zvtest::xdotool("key b");
    }
    if (step > 3000) {
      timed_out = true;
      gm.setGameOver(true);
    }
  };
  gm.run();
  ASSERT_FALSE(timed_out) << describe(p_listener->seen);
  EXPECT_TRUE(zvtest::logContains("InputManager::getInput(): Window close event. Setting game over."));

  // The loop ran the close frame to its end and stopped.
  int last = p_listener->frame;
  EXPECT_EQ(gm.getStepCount(), last + 1);
  // The key was held in the frame before, but in the close frame neither
  // the held key nor the press queued after the close was sent.
  EXPECT_GE(p_listener->frameOf(true, zv::A, zv::KEYBOARD_HELD), 0);
  EXPECT_FALSE(p_listener->events(true, last - 1).empty()) << describe(p_listener->seen);
  EXPECT_TRUE(p_listener->events(true, last).empty()) << describe(p_listener->seen);
  EXPECT_EQ(p_listener->frameOf(true, zv::B, zv::KEYBOARD_PRESSED), -1);

  // What came after the close is still there for the next call.
  ASSERT_TRUE(framesUntilSeen(true, zv::B, zv::KEYBOARD_PRESSED)) << describe(p_listener->seen);
}
