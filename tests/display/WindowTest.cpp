// Drawing into a real window, checked by reading its pixels back.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>

#include "PrivateDisplay.h"
#include "TestSupport.h"
#include "core/GameManager.h"
#include "display/DisplayManager.h"
#include "display/Shape.h"
#include "platform/Platform.h"

using zv::DisplayManager;
using zv::Vector;

namespace {

const sf::Color GREEN(0, 255, 0);
const sf::Color BLACK(0, 0, 0);

// The box of the pixels that differ from a colour.
struct PixelBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  int count = 0;
  bool empty() const { return count == 0; }
};

PixelBox boxOfOthers(const sf::Image& image, sf::Color background) {
  PixelBox box;
  for (unsigned y = 0; y < image.getSize().y; y++) {
    for (unsigned x = 0; x < image.getSize().x; x++) {
      if (image.getPixel(x, y) == background)
        continue;
      box.count++;
      box.left = std::min(box.left, static_cast<int>(x));
      box.right = std::max(box.right, static_cast<int>(x));
      box.top = std::min(box.top, static_cast<int>(y));
      box.bottom = std::max(box.bottom, static_cast<int>(y));
    }
  }
  return box;
}

std::string show(sf::Color c) {
  return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

class RealWindow : public testing::Test {
 protected:
  sf::RenderWindow* p_window = nullptr;
  DisplayManager& dm = DisplayManager::getInstance();

  void start(const std::string& extra_config = "") {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    zvtest::writeFile("zv-config.txt",
                      std::string("font_file:") + ZELVRA_RUN_DIR + "/zv-font.ttf,frame_time:0," + extra_config);
    ASSERT_EQ(zv::GameManager::getInstance().startUp(), 0);
    p_window = dm.getRenderWindow();
    ASSERT_NE(p_window, nullptr);
    // As the game loop does before its first drawing: start from a cleared buffer.
    ASSERT_EQ(dm.presentFrame(), 0);
  }
  void SetUp() override { start(); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }

  // What has been drawn since the last presentFrame (colours only).
  sf::Image drawn() const {
    sf::RenderWindow* p_window = dm.getRenderWindow();  // draws the queued cells
    sf::Texture texture;
    texture.create(p_window->getSize().x, p_window->getSize().y);
    texture.update(*p_window);
    sf::Image image = texture.copyToImage();
    for (unsigned y = 0; y < image.getSize().y; y++) {
      for (unsigned x = 0; x < image.getSize().x; x++) {
        sf::Color c = image.getPixel(x, y);
        c.a = 255;
        image.setPixel(x, y, c);
      }
    }
    return image;
  }
  // A green ground under everything, so that cell backgrounds show.
  void greenGround() const {
    sf::RectangleShape ground(sf::Vector2f(p_window->getSize()));
    ground.setFillColor(GREEN);
    p_window->draw(ground);
  }
  // Returns the coloured run in row y: first and last non-green x.
  static std::pair<int, int> blackRun(const sf::Image& image, int y) {
    int first = -1, last = -1;
    for (unsigned x = 0; x < image.getSize().x; x++) {
      if (image.getPixel(x, static_cast<unsigned>(y)) != GREEN) {
        if (first < 0)
          first = static_cast<int>(x);
        last = static_cast<int>(x);
      }
    }
    return {first, last};
  }
};

} // namespace

// Cells of 12.8 by 32 pixels: the cell (10, 5) background covers
// x 126.72 to 139.52 and y 166.4 to 198.4, so pixels 127-139 and 166-197.
TEST_F(RealWindow, CellBackgroundLandsOnItsPixels) {
  greenGround();
  ASSERT_EQ(dm.drawCharacter(Vector(10, 5), ' ', zv::RED), 0);
  sf::Image image = drawn();
  PixelBox box = boxOfOthers(image, GREEN);
  EXPECT_EQ(box.left, 127);
  EXPECT_EQ(box.right, 139);
  EXPECT_EQ(box.top, 166);
  EXPECT_EQ(box.bottom, 197);
  EXPECT_EQ(box.count, 13 * 32);
  EXPECT_EQ(image.getPixel(133, 180), BLACK);
}

TEST_F(RealWindow, PositionsAreNotSnappedToCells) {
  dm.drawCharacter(Vector(10, 5), 'X', 10, 200, 30);
  PixelBox whole = boxOfOthers(drawn(), BLACK);
  dm.presentFrame();
  dm.drawCharacter(Vector(10.5f, 5), 'X', 10, 200, 30);
  PixelBox half = boxOfOthers(drawn(), BLACK);
  dm.presentFrame();
  dm.drawCharacter(Vector(10, 6), 'X', 10, 200, 30);
  sf::Image image = drawn();
  PixelBox below = boxOfOthers(image, BLACK);
  ASSERT_FALSE(whole.empty());
  // Half a cell is 6.4 pixels; a row is 32.
  EXPECT_NEAR(half.left - whole.left, 6.4, 1.0);
  EXPECT_EQ(below.left, whole.left);
  EXPECT_EQ(below.top - whole.top, 32);
  // The red-green-blue form draws that very colour.
  bool exact = false;
  for (int y = below.top; y <= below.bottom; y++)
    for (int x = below.left; x <= below.right; x++)
      exact = exact || image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) == sf::Color(10, 200, 30);
  EXPECT_TRUE(exact);
}

TEST_F(RealWindow, PresentFrameClearsToTheBackground) {
  TearDown();
  start("window_background_color:blue,");
  const sf::Color blue(0, 0, 255);
  dm.drawText(Vector(3, 3), "HELLO", zv::ALIGN_LEFT, zv::YELLOW);
  sf::Image before = drawn();
  PixelBox box = boxOfOthers(before, blue);
  ASSERT_FALSE(box.empty());
  // The cell backgrounds are the window's background colour.
  EXPECT_EQ(before.getPixel(box.left, 3 * 32 + 30), blue);
  ASSERT_EQ(dm.presentFrame(), 0);
  EXPECT_TRUE(boxOfOthers(drawn(), blue).empty());
}

// A five-character string centred at x = 20 covers cells 18 to 22,
// right-aligned at x = 20 cells 15 to 19, left-aligned cells 20 to 24;
// the row y = 190 lies inside the row-5 backgrounds and below the glyphs.
TEST_F(RealWindow, TextAlignment) {
  struct {
    zv::Alignment align;
    int first_pixel, last_pixel;
  } cases[] = {
      {zv::ALIGN_CENTER, 229, 292},  // 18 * 12.8 - 1.28 = 229.12 ... 23 * 12.8 - 1.28 = 293.12
      {zv::ALIGN_RIGHT, 191, 254},   // cells 15..19
      {zv::ALIGN_LEFT, 255, 318},    // cells 20..24
  };
  for (const auto& c : cases) {
    greenGround();
    ASSERT_EQ(dm.drawText(Vector(20, 5), "ABCDE", c.align, zv::WHITE), 0);
    std::pair<int, int> run = blackRun(drawn(), 190);
    EXPECT_EQ(run.first, c.first_pixel) << "alignment " << c.align;
    EXPECT_EQ(run.second, c.last_pixel) << "alignment " << c.align;
    dm.presentFrame();
  }
}

TEST_F(RealWindow, EmptyTextDrawsNothing) {
  greenGround();
  EXPECT_EQ(dm.drawText(Vector(20, 5), "", zv::ALIGN_CENTER, zv::WHITE), 0);
  EXPECT_TRUE(boxOfOthers(drawn(), GREEN).empty());
}

TEST_F(RealWindow, NamedShapeColourAtItsOpacity) {
  zv::Shape shape;
  shape.setColor(zv::RED);
  shape.setOpacity(128);
  shape.setSize(24);
  // A circle of radius 24 placed half its size up-left of pixel (128, 160):
  // its centre is at (140, 172).
  shape.draw(Vector(10, 5));
  sf::Color c = drawn().getPixel(140, 172);
  EXPECT_NEAR(c.r, 128, 1) << show(c);
  EXPECT_EQ(c.g, 0);
  EXPECT_EQ(c.b, 0);
  EXPECT_EQ(shape.getR(), 255);
  EXPECT_EQ(shape.getG(), 0);
  EXPECT_EQ(shape.getB(), 0);
}

namespace {
// A circle of size 4 at pixel (100, 50) is a four-point polygon of radius
// 4 whose box starts at (98, 48): a diamond around (102, 52).
void expectSmallDiamond(const sf::Image& image, sf::Color colour) {
  PixelBox box = boxOfOthers(image, BLACK);
  EXPECT_GE(box.left, 98);
  EXPECT_LE(box.right, 105);
  EXPECT_GE(box.top, 48);
  EXPECT_LE(box.bottom, 55);
  for (sf::Vector2u inside : {sf::Vector2u(101, 51), sf::Vector2u(102, 52), sf::Vector2u(100, 52),
                              sf::Vector2u(103, 51)})
    EXPECT_EQ(image.getPixel(inside.x, inside.y), colour) << inside.x << "," << inside.y;
  // A rounder polygon would reach these corners.
  for (sf::Vector2u outside : {sf::Vector2u(99, 49), sf::Vector2u(104, 49), sf::Vector2u(99, 54),
                               sf::Vector2u(104, 54)})
    EXPECT_EQ(image.getPixel(outside.x, outside.y), BLACK) << outside.x << "," << outside.y;
}
} // namespace

TEST_F(RealWindow, SmallCircleIsADiamond) {
  zv::Shape shape;
  shape.setSize(4);
  shape.draw(zv::pixelsToSpaces(Vector(100, 50)));
  expectSmallDiamond(drawn(), sf::Color::White);
}

// A square of size 24 at pixel (200, 100): radius 12, turned 45 degrees
// about its corner (212, 86.29), which makes it upright from about
// (203.5, 94.8) to (220.5, 111.7).
TEST_F(RealWindow, SquareStandsUpright) {
  zv::Shape shape;
  shape.setType(zv::SQUARE);
  shape.setSize(24);
  shape.draw(zv::pixelsToSpaces(Vector(200, 100)));
  sf::Image image = drawn();
  PixelBox box = boxOfOthers(image, BLACK);
  EXPECT_NEAR(box.left, 203.5, 1.0);
  EXPECT_NEAR(box.right + 1, 220.5, 1.0);
  EXPECT_NEAR(box.top, 94.8, 1.0);
  EXPECT_NEAR(box.bottom + 1, 111.7, 1.0);
  // Its corners are filled: a square, not a diamond.
  for (sf::Vector2u corner : {sf::Vector2u(205, 96), sf::Vector2u(219, 96), sf::Vector2u(205, 110),
                              sf::Vector2u(219, 110)})
    EXPECT_EQ(image.getPixel(corner.x, corner.y), sf::Color::White) << corner.x << "," << corner.y;
}

// Only squares are turned: a circle and a triangle drawn after one stand
// as they would alone.
TEST_F(RealWindow, ShapesAfterASquareAreNotTurned) {
  zv::Shape square;
  square.setType(zv::SQUARE);
  square.setSize(24);
  square.draw(zv::pixelsToSpaces(Vector(600, 600)));
  dm.presentFrame();

  zv::Shape circle;
  circle.setSize(4);
  circle.setColor(zv::CYAN);
  circle.draw(zv::pixelsToSpaces(Vector(100, 50)));
  expectSmallDiamond(drawn(), sf::Color(0, 255, 255));
  dm.presentFrame();

  // Size 24 at (400, 300): radius 12 from the corner (388, 288), so the
  // apex is at (400, 288) and the base runs along y = 306.
  square.draw(zv::pixelsToSpaces(Vector(600, 600)));
  dm.presentFrame();
  zv::Shape triangle;
  triangle.setType(zv::TRIANGLE);
  triangle.setSize(24);
  triangle.draw(zv::pixelsToSpaces(Vector(400, 300)));
  sf::Image image = drawn();
  PixelBox box = boxOfOthers(image, BLACK);
  EXPECT_NEAR(box.top, 288, 1.0);
  EXPECT_NEAR(box.bottom + 1, 306, 1.0);
  EXPECT_NEAR(box.left, 389.6, 1.0);
  EXPECT_NEAR(box.right + 1, 410.4, 1.0);
  for (sf::Vector2u inside : {sf::Vector2u(400, 292), sf::Vector2u(392, 304), sf::Vector2u(408, 304)})
    EXPECT_EQ(image.getPixel(inside.x, inside.y), sf::Color::White) << inside.x << "," << inside.y;
  for (sf::Vector2u outside : {sf::Vector2u(391, 291), sf::Vector2u(409, 291)})
    EXPECT_EQ(image.getPixel(outside.x, outside.y), BLACK) << outside.x << "," << outside.y;
}

// What presentFrame shows is on the screen; read from a server of this
// test's own so that no other window covers it.
TEST(ShownWindow, PresentFrameShowsWhatWasDrawn) {
  std::string problem = zvtest::usePrivateDisplay();
  ASSERT_TRUE(problem.empty()) << problem;
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  zvtest::writeFile("zv-config.txt", std::string("font_file:") + ZELVRA_RUN_DIR + "/zv-font.ttf,");
  ASSERT_EQ(zv::GameManager::getInstance().startUp(), 0);
  DisplayManager& dm = DisplayManager::getInstance();
  unsigned long window = static_cast<unsigned long>(dm.getRenderWindow()->getSystemHandle());
  ASSERT_TRUE(zvtest::focusWindow(window));

  dm.drawCharacter(Vector(10, 5), 'X', zv::RED);
  ASSERT_EQ(dm.presentFrame(), 0);
  dm.getRenderWindow()->setActive(true);
  sf::Image shown = zvtest::shownPixels(window);
  ASSERT_EQ(shown.getSize(), sf::Vector2u(1024, 768));
  PixelBox box = boxOfOthers(shown, BLACK);
  EXPECT_GE(box.left, 128);
  EXPECT_LE(box.right, 128 + 25);
  EXPECT_GE(box.top, 160);
  EXPECT_LE(box.bottom, 192);

  // The next frame, drawn empty, shows nothing.
  ASSERT_EQ(dm.presentFrame(), 0);
  EXPECT_TRUE(boxOfOthers(zvtest::shownPixels(window), BLACK).empty());
  zv::GameManager::getInstance().shutDown();
}

namespace {
// A run of characters left-aligned from a cell position.
struct TextRun {
  float x, y;
  std::string text;
  zv::Color color;
};

// Every printable character in every colour, runs that overlap by half a
// cell, runs hanging over all four edges, one far outside, and a shape
// that the run after it covers.
std::vector<TextRun> mixedScene() {
  std::vector<TextRun> runs;
  for (int ch = 32; ch < 127; ch++)
    runs.push_back({static_cast<float>(ch % 40) * 2, static_cast<float>(ch / 40 * 2), std::string(1, static_cast<char>(ch)),
                    static_cast<zv::Color>(ch % 8)});
  runs.push_back({10, 10, "OVERLAPPING RUNS", zv::YELLOW});
  runs.push_back({14.5f, 10.5f, "over each other", zv::MAGENTA});
  runs.push_back({-1.5f, 14, "WEST EDGE", zv::GREEN});
  runs.push_back({75.5f, 15, "EAST EDGE", zv::CYAN});
  runs.push_back({30, -0.6f, "NORTH", zv::WHITE});
  runs.push_back({30, 23.7f, "SOUTH", zv::RED});
  runs.push_back({-500, -300, "FAR AWAY", zv::WHITE});
  runs.push_back({20, 18, "under a shape", zv::WHITE});
  runs.push_back({24, 18.2f, "over it", zv::BLACK});
  return runs;
}

const std::size_t RUNS_BEFORE_SHAPE = 104;
} // namespace

// The batched cells look as drawing each cell's rectangle and one-letter
// text straight into the window did.
TEST_F(RealWindow, BatchedCellsMatchCellByCellDrawing) {
  TearDown();
  start("window_background_color:blue,");
  sf::Font font;
  ASSERT_TRUE(font.loadFromFile(std::string(ZELVRA_RUN_DIR) + "/zv-font.ttf"));
  sf::RectangleShape rect(sf::Vector2f(zv::cellWidth(), zv::cellHeight()));
  rect.setFillColor(sf::Color::Blue);
  sf::Text text("", font, 25);
  text.setStyle(sf::Text::Bold);
  zv::Shape shape;
  shape.setColor(zv::GREEN);
  shape.setOpacity(200);
  std::vector<TextRun> scene = mixedScene();

  for (std::size_t i = 0; i < scene.size(); i++) {
    if (i == RUNS_BEFORE_SHAPE)
      shape.draw(Vector(27, 18));
    ASSERT_EQ(dm.drawText(Vector(scene[i].x, scene[i].y), scene[i].text, zv::ALIGN_LEFT, scene[i].color), 0);
  }
  sf::Image batched = drawn();
  ASSERT_EQ(dm.presentFrame(), 0);
  // The shape as a polygon of its own: size 24 makes ten points.
  Vector shape_at = zv::spacesToPixels(Vector(27, 18));
  sf::CircleShape polygon(24, 10);
  polygon.setPosition(shape_at.getX() - 12, shape_at.getY() - 12);
  polygon.setFillColor(sf::Color(0, 255, 0, 200));
  for (std::size_t i = 0; i < scene.size(); i++) {
    if (i == RUNS_BEFORE_SHAPE)
      p_window->draw(polygon);
    for (std::size_t c = 0; c < scene[i].text.size(); c++) {
      Vector pixels = zv::spacesToPixels(Vector(scene[i].x + static_cast<float>(c), scene[i].y));
      rect.setPosition(pixels.getX() - zv::cellWidth() / 10, pixels.getY() + zv::cellHeight() / 5);
      p_window->draw(rect);
      text.setString(std::string(1, scene[i].text[c]));
      text.setPosition(pixels.getX(), pixels.getY());
      text.setFillColor(zv::colorToSFML(scene[i].color));
      p_window->draw(text);
    }
  }
  sf::Image cell_by_cell = drawn();

  int differing = 0, worst = 0;
  for (unsigned y = 0; y < batched.getSize().y; y++) {
    for (unsigned x = 0; x < batched.getSize().x; x++) {
      sf::Color a = batched.getPixel(x, y), b = cell_by_cell.getPixel(x, y);
      int off = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += off > 0;
      worst = std::max(worst, off);
    }
  }
  EXPECT_LE(worst, 8) << differing << " pixels differ";
  EXPECT_LT(differing, 1024 * 768 / 200) << "worst channel off by " << worst;
  // The scene is not empty: the comparison means something.
  EXPECT_GT(boxOfOthers(batched, sf::Color::Blue).count, 20000);
}
