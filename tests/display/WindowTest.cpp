// Drawing into a real window, read back, and real input from an X server of the test's own.
#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "WindowCapture.h"
#include "XWindow.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/display/Shape.h>
#include <zelvra/display/ViewObject.h>
#include <zelvra/world/WorldManager.h>

using zv::Vector;
using zvtest::captureWindow;

namespace {

class RealWindow : public zvtest::WindowFixture {};

// Columns (of a grid shifted by x_origin cells) with a colour in the inner part of rows [row0, row1).
std::vector<int> columnsOf(const sf::Image& image, sf::Color colour, float x_origin, int row0, int row1) {
  std::vector<int> found;
  for (int i = -2; i < 82; i++) {
    int left = static_cast<int>((x_origin + static_cast<float>(i)) * 12.8f) + 3;
    if (zvtest::findColor(image, colour, left, row0 * 32, left + 7, row1 * 32).count > 0)
      found.push_back(i);
  }
  return found;
}

// A keyboard or mouse event as an object got it, with the frame it came in.
struct Seen {
  int frame, code, action;  // code: key or button
  Vector position;
  bool operator==(const Seen& o) const {
    return frame == o.frame && code == o.code && action == o.action && position == o.position;
  }
};

class Listener : public zv::Object {
 public:
  std::vector<Seen> seen;
  int frame = 0;
  std::function<void(int)> on_step;  // run from the step event, in loop tests
  Listener() { for (auto& type : {zv::KEYBOARD_EVENT, zv::MOUSE_EVENT, zv::STEP_EVENT}) registerInterest(type); }
  int eventHandler(const zv::Event* p_e) override {
    auto p_k = dynamic_cast<const zv::EventKeyboard*>(p_e);
    auto p_m = dynamic_cast<const zv::EventMouse*>(p_e);
    if (p_k || p_m)
      seen.push_back(p_k ? Seen{frame, p_k->getKey(), p_k->getAction(), Vector()}
                         : Seen{frame, p_m->getButton(), p_m->getAction(), p_m->getPosition()});
    else if (on_step)
      on_step(frame = static_cast<const zv::EventStep*>(p_e)->getStepCount());
    return 1;
  }
  // The events of one code (-1: any) in one frame (-1: any).
  std::vector<Seen> of(int code, int f = -1) const {
    std::vector<Seen> out;
    for (const Seen& s : seen)
      if ((code == -1 || s.code == code) && (f == -1 || s.frame == f))
        out.push_back(s);
    return out;
  }
};

class RealInput : public testing::Test {
 protected:
  Listener* p_listener = nullptr;
  unsigned long window = 0;
  void SetUp() override {
    ASSERT_EQ(zvtest::usePrivateDisplay(), "");
    zvtest::writeFile("zv-config.txt", "frame_time:5,font_file:" ZELVRA_RUN_DIR "/zv-font.ttf,");
    ASSERT_EQ(zv::GameManager::getInstance().startUp(), 0);
    window = static_cast<unsigned long>(zv::DisplayManager::getInstance().getRenderWindow()->getSystemHandle());
    ASSERT_TRUE(zvtest::focusWindow(window));
    send("");  // the pointer moved in for the focus: not this test's input
    zv::InputManager::getInstance().getInput();
    p_listener = new Listener;
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
  // Sends input, then asks the window's connection a question, whose answer comes after the events.
  static void send(const std::string& arguments) {
    EXPECT_TRUE(arguments.empty() || zvtest::xdotool(arguments)) << arguments;
    sf::Keyboard::isKeyPressed(sf::Keyboard::Space);
  }
  void frame() {
    p_listener->frame++;
    zv::InputManager::getInstance().getInput();
  }
};
} // namespace

// The batched cells look as each cell's rectangle and letter drawn straight into the window: every printable
// character and colour, runs overlapping by half a cell, over all four edges, far outside, over a shape and a
// rectangle drawn on the window, and aligned (five centred at 20 cover 18 to 22, right-aligned 15 to 19).
TEST_F(RealWindow, BatchedCellsMatchCellByCellDrawing) {
  struct TextRun { float x, y; std::string text; zv::Color color; zv::Alignment align; };
  const zv::Alignment LEFT = zv::ALIGN_LEFT;
  std::vector<TextRun> scene = {
      {10, 10, "OVERLAPPING RUNS", zv::YELLOW, LEFT}, {14.5f, 10.5f, "over each other", zv::MAGENTA, LEFT},
      {-1.5f, 14, "WEST EDGE", zv::GREEN, LEFT},      {75.5f, 15, "EAST EDGE", zv::CYAN, LEFT},
      {30, -0.6f, "NORTH W ", zv::WHITE, LEFT},         {30, 23.7f, "SOUTH", zv::RED, LEFT},
      {-500, -300, "FAR AWAY", zv::WHITE, LEFT},      {20, 7, "ABCDE", zv::WHITE, zv::ALIGN_CENTER},
      {20, 8, "ABCDE", zv::RED, zv::ALIGN_RIGHT},     {20, 9, "", zv::RED, zv::ALIGN_CENTER},
      {20, 18, "under a shape", zv::WHITE, LEFT}};
  for (int ch = 32; ch < 127; ch++)
    scene.push_back({(ch % 40) * 2.0f, ch / 40 * 2.0f, std::string(1, char(ch)), zv::Color(ch % 8), LEFT});
  scene.push_back({24, 18.2f, "over it", zv::BLACK, LEFT});
  zv::Shape shape;
  shape.setColor(zv::GREEN);
  shape.setOpacity(200);
  sf::RectangleShape block(sf::Vector2f(60, 30));  // drawn straight on the window, under the first run
  block.setPosition(130, 330);
  block.setFillColor(sf::Color::Magenta);
  sf::Font font;
  ASSERT_TRUE(font.loadFromFile(std::string(ZELVRA_RUN_DIR) + "/zv-font.ttf"));
  sf::RectangleShape rect(sf::Vector2f(12.8f, 32));
  rect.setFillColor(sf::Color::Blue);
  sf::CircleShape polygon(24, 10);  // size 24 makes ten points
  polygon.setPosition(27 * 12.8f - 12, 18 * 32 - 12);
  polygon.setFillColor(sf::Color(0, 255, 0, 200));
  for (int scale : {2, 4}) {  // at 4 a glyph overhangs more than the next cell
    SCOPED_TRACE(scale);
    TearDown();
    start("window_background_color:blue,font_scale:" + std::to_string(scale) + ",");
    for (std::size_t i = 0; i < scene.size(); i++) {
      if (i == 0)
        dm.getRenderWindow()->draw(block);
      if (i + 1 == scene.size())
        shape.draw(Vector(27, 18));
      ASSERT_EQ(dm.drawText(Vector(scene[i].x, scene[i].y), scene[i].text, scene[i].align, scene[i].color), 0);
    }
    sf::Image batched = captureWindow();
    ASSERT_EQ(dm.presentFrame(), 0);
    EXPECT_EQ(zvtest::findColor(captureWindow(), sf::Color::Blue).count, 1024 * 768);  // cleared to the background

    sf::Text text("", font, static_cast<unsigned>(static_cast<float>(scale) * 12.8f));
    text.setStyle(sf::Text::Bold);
    for (std::size_t i = 0; i < scene.size(); i++) {
      if (i == 0)
        p_window->draw(block);
      if (i + 1 == scene.size())
        p_window->draw(polygon);
      std::size_t length = scene[i].text.size();
      float x = scene[i].x - static_cast<float>(scene[i].align == zv::ALIGN_CENTER ? length / 2
                                                : scene[i].align == zv::ALIGN_RIGHT ? length : 0);
      for (std::size_t c = 0; c < length; c++) {
        sf::Vector2f at((x + static_cast<float>(c)) * 12.8f, scene[i].y * 32);
        rect.setPosition(at + zv::backgroundOffset());
        text.setString(std::string(1, scene[i].text[c]));
        text.setPosition(at);
        text.setFillColor(zv::colorToSFML(scene[i].color));
        p_window->draw(rect), p_window->draw(text);
      }
    }
    sf::Image cell_by_cell = captureWindow();
    int differing = 0, worst = 0, drawn = 0;
    for (unsigned y = 0; y < 768; y++)
      for (unsigned x = 0; x < 1024; x++) {
        sf::Color a = batched.getPixel(x, y), b = cell_by_cell.getPixel(x, y);
        int off = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        differing += off > 0, drawn += a != sf::Color::Blue;
        worst = std::max(worst, off);
      }
    // Cut glyph quads interpolate the page a hair differently: 1 of 255 at most, where 8 would still be invisible.
    EXPECT_LE(worst, 2) << differing << " pixels differ";
    EXPECT_LT(differing, 1024 * 768 / 200) << "worst channel off by " << worst;
    EXPECT_GT(drawn, 20000);  // the comparison means something
  }
}

// Plain text over the clear colour draws no backgrounds (they would change nothing); over a shape,
// those of the cells that reach it, six a row. Every glyph is a quad of its own.
TEST_F(RealWindow, BackgroundsAreDrawnOnlyOverWhatIsThere) {
  std::vector<int> counts;
  for (float height : {0.0f, 56.0f}) {  // no block, then one over cells 10 to 14 of rows 5 and 6, in their backgrounds
    sf::RectangleShape block(sf::Vector2f(64, height));
    block.setPosition(128, 168);
    dm.drawShape(block);
    for (int row = 3; row < 9; row++)
      dm.drawText(Vector(0, static_cast<float>(row)), std::string(20, ':'), zv::ALIGN_LEFT, zv::WHITE);
    dm.drawCharacter(Vector(30, 3), '\0', zv::WHITE);  // no glyph: no quad
    ASSERT_EQ(dm.presentFrame(), 0);
    counts.insert(counts.end(), {dm.getDrawCounts().quads, dm.getDrawCounts().backgrounds});
  }
  EXPECT_EQ(counts, (std::vector<int>{120, 0, 132, 12}));
}


// A view turned by 45 degrees shows a character drawn above the window's top edge, which the
// unturned view would not show.
TEST_F(RealWindow, TurnedViewShowsWhatTurnsIntoIt) {
  sf::View view = p_window->getDefaultView();
  view.setRotation(45);
  dm.getRenderWindow()->setView(view);
  ASSERT_EQ(dm.drawCharacter(Vector(40, -3.2f), '#', zv::RED), 0);  // pixels (512, -102)
  zvtest::ColorSpot red = zvtest::findColor(captureWindow(), sf::Color::Red);
  EXPECT_TRUE(red.count > 20 && red.x < 512 && red.y < 384) << red.count << " at " << red.x << ", " << red.y;
}

// The world draws view objects at their place on the screen wherever its view is.
TEST_F(RealWindow, ViewObjectsStayOnTheScreenWhileTheViewMoves) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(Vector(0, 0), 300, 200));
  world.setViewPosition(Vector(250, 150));
  ASSERT_EQ(world.getView().getCorner(), Vector(210, 138));
  zv::ViewObject *fuel = new zv::ViewObject, *ready = new zv::ViewObject;
  fuel->setViewString("Fuel"), ready->setViewString("Ready");
  fuel->setValue(100);
  fuel->setColor(zv::RED), ready->setColor(zv::YELLOW);
  fuel->setLocation(zv::TOP_LEFT);
  ready->setDrawValue(false);
  ready->setPosition(Vector(40, 16));
  sf::Image image = oneFrame();
  auto red = [&](float x_origin, int row0, int row1) { return columnsOf(image, sf::Color::Red, x_origin, row0, row1); };
  // " Fuel 100 ", ten characters centred on 80/6, from 8.33 on: dashes above and below, bars beside.
  const std::vector<int> dashes = {8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  EXPECT_TRUE(red(1.0f / 3, 0, 1) == dashes && red(1.0f / 3, 2, 3) == dashes && red(0, 3, 24).empty());
  EXPECT_EQ(red(1.0f / 3, 1, 2), (std::vector<int>{7, 9, 10, 11, 12, 14, 15, 16, 18}));
  // " Ready ", seven characters centred at 40: from 37 on, bars at 36 and 44.
  EXPECT_EQ(columnsOf(image, sf::Color::Yellow, 0, 15, 16), (std::vector<int>{37, 38, 39, 40, 41, 42, 43}));
  EXPECT_EQ(columnsOf(image, sf::Color::Yellow, 0, 16, 17), (std::vector<int>{36, 38, 39, 40, 41, 42, 44}));
}


// Keys held well past the repeat delay of the test's server (100 ms): one press, a held event in each
// frame down (in the held keys' own order; never for F11 or unnamed keys, code + 97), one release.
// Up when polled: no held.
TEST_F(RealInput, KeysPressedHeldAndReleased) {
  const int home = static_cast<int>(sf::Keyboard::Home) + 97;
  int delay = zvtest::keyRepeatDelay();  // no repeat within the hold: nothing to drop, the check would be void
  ASSERT_TRUE(delay >= 0 && delay < 500) << delay;
  send("keydown a keydown space keydown Up keydown F10 keydown F11 keydown Home");
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(5)))
    frame();
  send("keyup a keyup space keyup Up keyup F10 keyup F11 keyup Home key space");
  frame();
  int last = p_listener->frame;
  ASSERT_GT(last, 10);
  for (int k : {int(zv::A), int(zv::UP), int(zv::F10), int(zv::F11), home}) {
    std::vector<Seen> want = {{1, k, zv::KEYBOARD_PRESSED, Vector()}};
    for (int f = 1; f < last && k != zv::F11 && k != home; f++)
      want.push_back({f, k, zv::KEYBOARD_HELD, Vector()});
    want.push_back({last, k, zv::KEYBOARD_RELEASED, Vector()});
    EXPECT_TRUE(p_listener->of(k) == want) << "key " << k;
  }
  std::vector<Seen> held = p_listener->of(-1, 2);
  EXPECT_TRUE(held.size() == 4 && held[0].code == zv::UP && held[1].code == zv::SPACE && held[2].code == zv::F10);
  std::vector<Seen> space = p_listener->of(zv::SPACE, last);
  EXPECT_TRUE(space.size() == 3 && space[1].action == zv::KEYBOARD_PRESSED && space[2].action == zv::KEYBOARD_RELEASED);
  zv::InputManager::getInstance().shutDown();  // stopped, it gives the window its key repeat back
  send("keydown b sleep 0.5 keyup b");
  int presses = 0;
  for (sf::Event e; zv::DisplayManager::getInstance().getWindow()->pollEvent(e);)
    presses += e.type == sf::Event::KeyPressed;
  EXPECT_GT(presses, 1);
}

// Pixels (130, 170) and (256, 320) are cells (10.15625, 5.3125) and (20, 10). Moves come first,
// then one held event at the pointer's place; releasing sends nothing.
TEST_F(RealInput, ClicksMovesAndHeldButtons) {
  const Vector first(10.15625f, 5.3125f), second(20, 10);
  const std::string to = "mousemove --window " + std::to_string(window);
  for (std::string input : {to + " 130 170 mousedown 3", to + " 256 320", std::string("mouseup 3 click 1 click 2")}) {
    send(input);
    frame();
  }
  EXPECT_TRUE(p_listener->seen == (std::vector<Seen>{{1, zv::BUTTON_UNDEFINED, zv::MOUSE_MOVED, first},
                                                     {1, zv::BUTTON_RIGHT, zv::MOUSE_CLICKED, first},
                                                     {1, zv::BUTTON_RIGHT, zv::MOUSE_HELD, first},
                                                     {2, zv::BUTTON_UNDEFINED, zv::MOUSE_MOVED, second},
                                                     {2, zv::BUTTON_RIGHT, zv::MOUSE_HELD, second},
                                                     {3, zv::BUTTON_LEFT, zv::MOUSE_CLICKED, second},
                                                     {3, zv::BUTTON_MIDDLE, zv::MOUSE_CLICKED, second}}));
}

// The loop ends after the close frame, which sends neither the key held before nor the press
// queued after the close; that waits for the next call.
TEST_F(RealInput, ClosingTheWindowEndsTheLoopAfterThatFrame) {
  zv::LogManager::getInstance().setLogLevel(1);
  zv::GameManager& gm = zv::GameManager::getInstance();
  bool closed = false;
  p_listener->on_step = [&](int step) {
    if (step == 0)
      send("keydown a");
    if (!closed && p_listener->of(zv::A).size() > 1 && (closed = zvtest::requestClose(window)))  // held
      send("key b");
    if (step > 3000)
      gm.setGameOver(true);
  };
  gm.run();
  int last = p_listener->frame;
  ASSERT_TRUE(closed && last < 3000);
  EXPECT_TRUE(zvtest::logContains("InputManager::getInput(): Window close event. Setting game over."));
  EXPECT_EQ(gm.getStepCount(), last + 1);
  EXPECT_FALSE(p_listener->of(zv::A, last - 1).empty());
  EXPECT_TRUE(p_listener->of(-1, last).empty());
  frame();
  EXPECT_EQ(p_listener->of(zv::B, last + 1).size(), 2u);
}

// Held keys read in one request agree with the window library's key-by-key answers, which stand in
// when no display connection of the input's own opens, whichever key code is down.
TEST_F(RealInput, HeldKeysAgreeWithAndWithoutAConnectionOfTheirOwn) {
  zv::LogManager::getInstance().setLogLevel(1);
  zv::LogManager::getInstance().setFlush(true);
  auto heldPerCode = [&] {
    std::vector<std::vector<int>> held(256);
    for (unsigned int code = 8; code < 256; code++) {
      EXPECT_TRUE(zvtest::fakeKey(code, true));
      frame();
      for (const Seen& s : p_listener->of(-1, p_listener->frame))
        if (s.action == zv::KEYBOARD_HELD)
          held[code].push_back(s.code);
      EXPECT_TRUE(zvtest::fakeKey(code, false));
      frame();
    }
    return held;
  };
  std::vector<std::vector<int>> own = heldPerCode();
  EXPECT_GT(std::count_if(own.begin(), own.end(), [](const std::vector<int>& h) { return h.size() == 1; }), 60);
  zv::InputManager::getInstance().shutDown();
  std::string display = getenv("DISPLAY");
  unsetenv("DISPLAY");
  ASSERT_EQ(zv::InputManager::getInstance().startUp(), 0);
  setenv("DISPLAY", display.c_str(), 1);
  ASSERT_TRUE(zvtest::logContains("held keys polled one by one"));
  EXPECT_EQ(heldPerCode(), own);
}
