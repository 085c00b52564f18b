// Drawing into a real window, checked by reading its pixels back, and real
// key and button events from an X server of the test's own.
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "WindowCapture.h"
#include "XWindow.h"
#include "core/EventStep.h"
#include "core/LogManager.h"
#include "display/InputManager.h"
#include "display/Shape.h"
#include "display/ViewObject.h"
#include "world/WorldManager.h"

using zv::Vector;
using zvtest::captureWindow;

namespace {

// The box (inclusive) of the pixels of [left, right) x [top, bottom) that
// differ from a background colour; its count, or -1 when a listed pixel
// does not have the colour it should.
struct PixelBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

PixelBox boxOf(const sf::Image& image, sf::Color background, int left = 0, int top = 0, int right = 1024,
               int bottom = 768) {
  PixelBox box;
  for (int y = top; y < bottom; y++)
    for (int x = left; x < right; x++)
      if (image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) != background) {
        box.count++;
        box.left = std::min(box.left, x), box.right = std::max(box.right, x);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
      }
  return box;
}

class RealWindow : public zvtest::WindowFixture {};

} // namespace

// Shapes stand where they are drawn; only squares are turned, so the
// shapes drawn after one stand as they would alone.
TEST_F(RealWindow, ShapesLandOnTheirPixels) {
  zv::Shape square, diamond, triangle, named;
  square.setType(zv::SQUARE);
  square.setSize(24);
  square.draw(zv::pixelsToSpaces(Vector(200, 600)));
  diamond.setSize(4);
  diamond.setColor(zv::CYAN);
  diamond.draw(zv::pixelsToSpaces(Vector(100, 500)));
  triangle.setType(zv::TRIANGLE);
  triangle.setSize(24);
  triangle.draw(zv::pixelsToSpaces(Vector(400, 600)));
  named.setColor(zv::RED);
  named.setOpacity(128);
  named.setSize(24);
  named.draw(Vector(10, 18));
  sf::Image image = captureWindow();
  // Per shape: its box, pixels inside it of its colour and pixels outside black.
  // Size 24 at (200, 600): radius 12, turned 45 degrees about its corner
  // (212, 586.29), upright from about (203.5, 594.8) to (220.5, 611.7).
  // Size 4 at (100, 500): a four-point polygon of radius 4 from (98, 498),
  // a diamond around (102, 502). Size 24 at (400, 600): radius 12 from the
  // corner (388, 588), apex at (400, 588), base along y = 606.
  const struct {
    int area[4];
    float box[4];
    sf::Color colour;
    std::vector<sf::Vector2u> inside, outside;
  } shapes[] = {
      {{180, 570, 240, 630}, {203.5f, 594.8f, 220.5f, 611.7f}, sf::Color::White,
       {{205, 596}, {219, 596}, {205, 610}, {219, 610}}, {}},
      {{90, 490, 112, 512}, {99.5f, 499.5f, 104.5f, 504.5f}, sf::Color::Cyan,
       {{101, 501}, {102, 502}, {100, 502}, {103, 501}}, {{99, 499}, {104, 499}, {99, 504}, {104, 504}}},
      {{380, 570, 420, 620}, {389.6f, 588, 410.4f, 606}, sf::Color::White,
       {{400, 592}, {392, 604}, {408, 604}}, {{391, 591}, {409, 591}}},
  };
  for (const auto& s : shapes) {
    PixelBox box = boxOf(image, sf::Color::Black, s.area[0], s.area[1], s.area[2], s.area[3]);
    EXPECT_NEAR(box.left, s.box[0], 1.5);
    EXPECT_NEAR(box.top, s.box[1], 1.5);
    EXPECT_NEAR(box.right + 1, s.box[2], 1.5);
    EXPECT_NEAR(box.bottom + 1, s.box[3], 1.5);
    for (sf::Vector2u p : s.inside)
      EXPECT_EQ(image.getPixel(p.x, p.y), s.colour) << p.x << "," << p.y;
    for (sf::Vector2u p : s.outside)
      EXPECT_EQ(image.getPixel(p.x, p.y), sf::Color::Black) << p.x << "," << p.y;
  }
  // Red at half opacity over black, centred half its size down-right of (128, 576).
  EXPECT_EQ(image.getPixel(140, 588), sf::Color(128, 0, 0));
}

// The batched cells look as drawing each cell's rectangle and one-letter
// text straight into the window did: every printable character in every
// colour, runs that overlap by half a cell, runs over all four edges, one
// far outside, a shape that the run after it covers, and the alignments
// (five characters centred at 20 cover cells 18 to 22, right-aligned 15 to 19).
TEST_F(RealWindow, BatchedCellsMatchCellByCellDrawing) {
  TearDown();
  start("window_background_color:blue,");
  struct TextRun {
    float x, y;
    std::string text;
    zv::Color color;
    zv::Alignment align;
  };
  std::vector<TextRun> scene;
  for (int ch = 32; ch < 127; ch++)
    scene.push_back({static_cast<float>(ch % 40) * 2, static_cast<float>(ch / 40 * 2),
                     std::string(1, static_cast<char>(ch)), static_cast<zv::Color>(ch % 8), zv::ALIGN_LEFT});
  scene.insert(scene.end(), {{10, 10, "OVERLAPPING RUNS", zv::YELLOW, zv::ALIGN_LEFT},
                             {14.5f, 10.5f, "over each other", zv::MAGENTA, zv::ALIGN_LEFT},
                             {-1.5f, 14, "WEST EDGE", zv::GREEN, zv::ALIGN_LEFT},
                             {75.5f, 15, "EAST EDGE", zv::CYAN, zv::ALIGN_LEFT},
                             {30, -0.6f, "NORTH", zv::WHITE, zv::ALIGN_LEFT},
                             {30, 23.7f, "SOUTH", zv::RED, zv::ALIGN_LEFT},
                             {-500, -300, "FAR AWAY", zv::WHITE, zv::ALIGN_LEFT},
                             {20, 7, "ABCDE", zv::WHITE, zv::ALIGN_CENTER},
                             {20, 8, "ABCDE", zv::RED, zv::ALIGN_RIGHT},
                             {20, 9, "", zv::RED, zv::ALIGN_CENTER},
                             {20, 18, "under a shape", zv::WHITE, zv::ALIGN_LEFT},
                             {24, 18.2f, "over it", zv::BLACK, zv::ALIGN_LEFT}});
  zv::Shape shape;
  shape.setColor(zv::GREEN);
  shape.setOpacity(200);
  for (std::size_t i = 0; i < scene.size(); i++) {
    if (i + 1 == scene.size())
      shape.draw(Vector(27, 18));
    ASSERT_EQ(dm.drawText(Vector(scene[i].x, scene[i].y), scene[i].text, scene[i].align, scene[i].color), 0);
  }
  sf::Image batched = captureWindow();
  ASSERT_EQ(dm.presentFrame(), 0);
  EXPECT_EQ(boxOf(captureWindow(), sf::Color::Blue).count, 0);  // cleared to the background

  sf::Font font;
  ASSERT_TRUE(font.loadFromFile(std::string(ZELVRA_RUN_DIR) + "/zv-font.ttf"));
  sf::RectangleShape rect(sf::Vector2f(zv::cellWidth(), zv::cellHeight()));
  rect.setFillColor(sf::Color::Blue);
  sf::Text text("", font, 25);
  text.setStyle(sf::Text::Bold);
  // The shape as a polygon of its own: size 24 makes ten points.
  sf::CircleShape polygon(24, 10);
  polygon.setPosition(27 * 12.8f - 12, 18 * 32 - 12);
  polygon.setFillColor(sf::Color(0, 255, 0, 200));
  for (std::size_t i = 0; i < scene.size(); i++) {
    if (i + 1 == scene.size())
      p_window->draw(polygon);
    std::size_t length = scene[i].text.size();
    float x = scene[i].x - static_cast<float>(scene[i].align == zv::ALIGN_CENTER ? length / 2
                                              : scene[i].align == zv::ALIGN_RIGHT ? length : 0);
    for (std::size_t c = 0; c < length; c++) {
      Vector pixels = zv::spacesToPixels(Vector(x + static_cast<float>(c), scene[i].y));
      rect.setPosition(pixels.getX() - zv::cellWidth() / 10, pixels.getY() + zv::cellHeight() / 5);
      p_window->draw(rect);
      text.setString(std::string(1, scene[i].text[c]));
      text.setPosition(pixels.getX(), pixels.getY());
      text.setFillColor(zv::colorToSFML(scene[i].color));
      p_window->draw(text);
    }
  }
  sf::Image cell_by_cell = captureWindow();
  int differing = 0, worst = 0;
  for (unsigned y = 0; y < 768; y++)
    for (unsigned x = 0; x < 1024; x++) {
      sf::Color a = batched.getPixel(x, y), b = cell_by_cell.getPixel(x, y);
      int off = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += off > 0;
      worst = std::max(worst, off);
    }
  EXPECT_LE(worst, 8) << differing << " pixels differ";
  EXPECT_LT(differing, 1024 * 768 / 200) << "worst channel off by " << worst;
  EXPECT_GT(boxOf(batched, sf::Color::Blue).count, 20000);  // the comparison means something
}

namespace {
// Cell columns (on a grid shifted by x_origin cells) of the cell rows
// [row0, row1) that hold a colour; pixels of neighbouring glyphs may reach
// a little across, so only the inner part of a cell counts.
std::vector<int> columnsOf(const sf::Image& image, sf::Color colour, float x_origin, int row0, int row1) {
  std::vector<int> found;
  for (int i = -2; i < 82; i++) {
    int left = static_cast<int>((x_origin + static_cast<float>(i)) * 12.8f) + 3;
    if (zvtest::findColor(image, colour, left, row0 * 32, left + 7, row1 * 32).count > 0)
      found.push_back(i);
  }
  return found;
}
} // namespace

// The world draws view objects at their place on the screen wherever its view is.
TEST_F(RealWindow, ViewObjectsStayOnTheScreenWhileTheViewMoves) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(Vector(0, 0), 300, 200));
  world.setViewPosition(Vector(250, 150));
  ASSERT_EQ(world.getView().getCorner(), Vector(210, 138));
  zv::ViewObject *fuel = new zv::ViewObject, *ready = new zv::ViewObject;
  fuel->setViewString("Fuel");
  fuel->setValue(100);
  fuel->setColor(zv::RED);
  fuel->setLocation(zv::TOP_LEFT);
  ready->setViewString("Ready");
  ready->setDrawValue(false);
  ready->setColor(zv::YELLOW);
  ready->setPosition(Vector(40, 16));
  sf::Image image = oneFrame();
  // " Fuel 100 " is ten characters centred on 80/6 = 13.33, so from 8.33 on:
  // dashes above and below, bars at 7.33 and 18.33, in rows 0 to 2.
  const std::vector<int> none, dashes = {8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  EXPECT_EQ(columnsOf(image, sf::Color::Red, 1.0f / 3, 0, 1), dashes);
  EXPECT_EQ(columnsOf(image, sf::Color::Red, 1.0f / 3, 2, 3), dashes);
  EXPECT_EQ(columnsOf(image, sf::Color::Red, 1.0f / 3, 1, 2), (std::vector<int>{7, 9, 10, 11, 12, 14, 15, 16, 18}));
  EXPECT_EQ(columnsOf(image, sf::Color::Red, 0, 3, 24), none);
  // An odd label of five centred at 40 covers 38 to 42; framed (seven
  // characters) its bars stand at 36 and 44.
  EXPECT_EQ(columnsOf(image, sf::Color::Yellow, 0, 15, 16), (std::vector<int>{37, 38, 39, 40, 41, 42, 43}));
  EXPECT_EQ(columnsOf(image, sf::Color::Yellow, 0, 16, 17), (std::vector<int>{36, 38, 39, 40, 41, 42, 44}));
  EXPECT_EQ(columnsOf(image, sf::Color::Yellow, 0, 0, 15), none);
}

namespace {
// The keyboard and mouse events an object gets, with the frame they came in.
struct Seen {
  int frame, code, action;  // code: key or button
  bool keyboard;
  Vector position;
  bool operator==(const Seen& o) const {
    return frame == o.frame && code == o.code && action == o.action && keyboard == o.keyboard && position == o.position;
  }
};
std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << (s.keyboard ? "[key " : "[button ") << s.code << " action " << s.action << " frame " << s.frame << "]";
}

class Listener : public zv::Object {
 public:
  std::vector<Seen> seen;
  int frame = 0;
  std::function<void(int)> on_step;  // run from the step event, in loop tests
  Listener() {
    registerInterest(zv::KEYBOARD_EVENT), registerInterest(zv::MOUSE_EVENT), registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    auto p_k = dynamic_cast<const zv::EventKeyboard*>(p_e);
    auto p_m = dynamic_cast<const zv::EventMouse*>(p_e);
    if (p_k || p_m)
      seen.push_back(p_k ? Seen{frame, p_k->getKey(), p_k->getAction(), true, Vector()}
                         : Seen{frame, p_m->getButton(), p_m->getAction(), false, p_m->getPosition()});
    else if (on_step)
      on_step(frame = static_cast<const zv::EventStep*>(p_e)->getStepCount());
    return 1;
  }
  // The events of one code (-1: any) and one frame (-1: any).
  std::vector<Seen> of(int code, int f = -1) const {
    std::vector<Seen> out;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(out),
                 [&](const Seen& s) { return (code == -1 || s.code == code) && (f == -1 || s.frame == f); });
    return out;
  }
  bool has(int code, int action) const {
    return std::any_of(seen.begin(), seen.end(), [&](const Seen& s) { return s.code == code && s.action == action; });
  }
};

class RealInput : public testing::Test {
 protected:
  Listener* p_listener = nullptr;
  unsigned long window = 0;
  void SetUp() override {
    std::string problem = zvtest::usePrivateDisplay();
    ASSERT_TRUE(problem.empty()) << problem;
    zvtest::writeFile("zv-config.txt", "frame_time:5,font_file:" ZELVRA_RUN_DIR "/zv-font.ttf,");
    ASSERT_EQ(zv::GameManager::getInstance().startUp(), 0);
    window = static_cast<unsigned long>(zv::DisplayManager::getInstance().getRenderWindow()->getSystemHandle());
    ASSERT_TRUE(zvtest::focusWindow(window));
    p_listener = new Listener;
    sf::Keyboard::isKeyPressed(sf::Keyboard::Space);  // the pointer moved in for the focus: not this test's input
    frame();
    p_listener->seen.clear();
    p_listener->frame = 0;
  }
  void TearDown() override {
    if (window)  // nothing may stay pressed for the next test of this process
      zvtest::xdotool("keyup a b F10 F11 space Up Home mouseup 1 mouseup 3");
    zv::GameManager::getInstance().shutDown();
  }
  // Sends input, then asks the window's connection a question: the answer
  // comes after every event the server sent before it, so they are queued.
  static bool send(const std::string& arguments) {
    bool sent = zvtest::xdotool(arguments);
    sf::Keyboard::isKeyPressed(sf::Keyboard::Space);
    return sent;
  }
  void frame() {
    p_listener->frame++;
    zv::InputManager::getInstance().getInput();
  }
  // Frames until the condition holds; false after a generous time.
  bool framesUntil(const std::function<bool()>& done, int ms = 15000) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
      frame();
      if (done())
        return true;
    }
    return false;
  }
};
} // namespace

// Keys held over many frames, longer than the server waits before it
// repeats a key: one press each, a held event in every frame they are down
// (the first included) in the held keys' own order, never one for F11 or
// unnamed keys (which arrive as code + 97), and one release.
TEST_F(RealInput, KeysPressedHeldAndReleased) {
  const int home = static_cast<int>(sf::Keyboard::Home) + 97;
  ASSERT_TRUE(send("keydown a keydown space keydown Up keydown F10 keydown F11 keydown Home"));
  frame();
  framesUntil([] { return false; }, 1500);
  ASSERT_TRUE(send("keyup a keyup space keyup Up keyup F10 keyup F11 keyup Home"));
  frame();
  int last = p_listener->frame;
  ASSERT_GT(last, 10);
  for (int k : {int(zv::A), int(zv::SPACE), int(zv::UP), int(zv::F10), int(zv::F11), home}) {
    std::vector<Seen> want = {{1, k, zv::KEYBOARD_PRESSED, true, Vector()}};
    for (int f = 1; f < last && k != zv::F11 && k != home; f++)
      want.push_back({f, k, zv::KEYBOARD_HELD, true, Vector()});
    want.push_back({last, k, zv::KEYBOARD_RELEASED, true, Vector()});
    EXPECT_EQ(p_listener->of(k), want) << "key " << k;
  }
  std::vector<int> order;
  for (const Seen& s : p_listener->of(-1, 2))
    order.push_back(s.code);
  EXPECT_EQ(order, (std::vector<int>{zv::UP, zv::SPACE, zv::F10, zv::A}));
  // Up again when polled: a press and a release, no held event.
  ASSERT_TRUE(send("key space"));
  frame();
  EXPECT_EQ(p_listener->of(-1, last + 1), (std::vector<Seen>{{last + 1, zv::SPACE, zv::KEYBOARD_PRESSED, true, Vector()},
                                                             {last + 1, zv::SPACE, zv::KEYBOARD_RELEASED, true, Vector()}}));
}

// Pixel (130, 170) of the window is cell (10.15625, 5.3125), (256, 320) is
// (20, 10). Moves come first, then one held event at the pointer's place;
// releasing sends nothing.
TEST_F(RealInput, ClicksMovesAndHeldButtons) {
  const Vector first(10.15625f, 5.3125f), second(20, 10);
  ASSERT_TRUE(send("mousemove --window " + std::to_string(window) + " 130 170 mousedown 3"));
  frame();
  ASSERT_TRUE(send("mousemove --window " + std::to_string(window) + " 256 320"));
  frame();
  ASSERT_TRUE(send("mouseup 3 click 1 click 2"));
  frame();
  EXPECT_EQ(p_listener->seen, (std::vector<Seen>{{1, zv::BUTTON_UNDEFINED, zv::MOUSE_MOVED, false, first},
                                                 {1, zv::BUTTON_RIGHT, zv::MOUSE_CLICKED, false, first},
                                                 {1, zv::BUTTON_RIGHT, zv::MOUSE_HELD, false, first},
                                                 {2, zv::BUTTON_UNDEFINED, zv::MOUSE_MOVED, false, second},
                                                 {2, zv::BUTTON_RIGHT, zv::MOUSE_HELD, false, second},
                                                 {3, zv::BUTTON_LEFT, zv::MOUSE_CLICKED, false, second},
                                                 {3, zv::BUTTON_MIDDLE, zv::MOUSE_CLICKED, false, second}}));
}

TEST_F(RealInput, ClosingTheWindowEndsTheLoopAfterThatFrame) {
  zv::LogManager::getInstance().setLogLevel(1);
  zv::GameManager& gm = zv::GameManager::getInstance();
  bool closed = false;
  p_listener->on_step = [&](int step) {
    if (step == 0)
      send("keydown a");
    // Once the held key shows, ask for the close and press another key right behind it.
    if (!closed && p_listener->has(zv::A, zv::KEYBOARD_HELD) && (closed = zvtest::requestClose(window)))
      send("key b");
    if (step > 3000)
      gm.setGameOver(true);
  };
  gm.run();
  ASSERT_TRUE(closed && gm.getStepCount() < 3000) << testing::PrintToString(p_listener->seen);
  EXPECT_TRUE(zvtest::logContains("InputManager::getInput(): Window close event. Setting game over."));
  // The loop ran the close frame to its end and stopped; the key was held in
  // the frame before, but in the close frame neither the held key nor the
  // press queued after the close was sent.
  int last = p_listener->frame;
  EXPECT_EQ(gm.getStepCount(), last + 1);
  EXPECT_FALSE(p_listener->of(zv::A, last - 1).empty());
  EXPECT_TRUE(p_listener->of(-1, last).empty());
  EXPECT_FALSE(p_listener->has(zv::B, zv::KEYBOARD_PRESSED));
  // What came after the close is still there for the next call.
  EXPECT_TRUE(framesUntil([&] { return p_listener->has(zv::B, zv::KEYBOARD_PRESSED); }));
}
