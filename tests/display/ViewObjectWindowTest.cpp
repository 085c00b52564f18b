// View objects drawn in a real window, checked by reading its pixels.
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WindowCapture.h"
#include "core/GameManager.h"
#include "display/DisplayManager.h"
#include "display/ViewObject.h"
#include "platform/Platform.h"
#include "world/WorldManager.h"

using zv::Vector;
using zv::ViewObject;

namespace {

// Cells of the default window: 1024 x 768 pixels, 80 x 24 characters.
const float CELL_W = 12.8f;
const float CELL_H = 32.0f;

class ViewWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    ASSERT_EQ(zvtest::startWindowed(), 0);
    ASSERT_NE(zv::DisplayManager::getInstance().getRenderWindow(), nullptr);
    // Start from a cleared back buffer.
    zv::DisplayManager::getInstance().presentFrame();
  }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }

  // A text pixel of a named colour: its full channels bright, the others dark
  // (anti-aliased edges are dimmer but keep the pattern).
  static bool isColor(sf::Color c, zv::Color want) {
    unsigned char r = 0, g = 0, b = 0;
    zv::colorToRGB(want, r, g, b);
    auto fits = [](sf::Uint8 got, unsigned char full) { return full ? got > 128 : got < 40; };
    return fits(c.r, r) && fits(c.g, g) && fits(c.b, b);
  }

  // Whether any pixel of the colour lies in the pixel rectangle [x0, x1) x [y0, y1).
  static bool colorIn(const sf::Image& image, zv::Color want, float x0, float x1, float y0, float y1) {
    sf::Vector2u size = image.getSize();
    for (unsigned y = y0 < 0 ? 0 : static_cast<unsigned>(y0); y < size.y && static_cast<float>(y) < y1; y++)
      for (unsigned x = x0 < 0 ? 0 : static_cast<unsigned>(x0); x < size.x && static_cast<float>(x) < x1; x++)
        if (isColor(image.getPixel(x, y), want))
          return true;
    return false;
  }

  // Cell columns holding the colour in cell rows [row0, row1), on a cell grid
  // shifted by x_origin cells (view objects stand at fractions of a cell).
  static std::vector<int> columnsOf(const sf::Image& image, zv::Color want, float x_origin, int row0, int row1) {
    std::vector<int> columns;
    for (int c = -2; c < 82; c++) {
      // The inner part of each cell: glyphs of the neighbours may reach a little across.
      float left = (x_origin + static_cast<float>(c)) * CELL_W + 3;
      if (colorIn(image, want, left, left + CELL_W - 6, static_cast<float>(row0) * CELL_H,
                  static_cast<float>(row1) * CELL_H))
        columns.push_back(c);
    }
    return columns;
  }

  static std::vector<int> rowsOf(const sf::Image& image, zv::Color want) {
    std::vector<int> rows;
    for (int r = 0; r < 24; r++)
      if (colorIn(image, want, 0, 1024, static_cast<float>(r) * CELL_H + 2, static_cast<float>(r + 1) * CELL_H - 2))
        rows.push_back(r);
    return rows;
  }
  static std::vector<int> redColumns(const sf::Image& image, float x_origin, int row0, int row1) {
    return columnsOf(image, zv::RED, x_origin, row0, row1);
  }
  static std::vector<int> redRows(const sf::Image& image) { return rowsOf(image, zv::RED); }

  static std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; i++)
      out.push_back(i);
    return out;
  }
};

} // namespace

TEST_F(ViewWindow, FuelGaugeIsFramedInThreeRowsAndTwelveColumns) {
  ViewObject* fuel = new ViewObject;
  fuel->setViewString("Fuel");
  fuel->setValue(100);
  fuel->setColor(zv::RED);
  fuel->setLocation(zv::TOP_LEFT);
  ASSERT_EQ(fuel->draw(), 0);
  sf::Image image = zvtest::captureWindow();

  // Centre 80/6 = 13.33; the ten characters start five cells to its left.
  float x = fuel->getPosition().getX();
  float first = x - 5;
  EXPECT_EQ(redRows(image), range(0, 2));
  EXPECT_EQ(redColumns(image, first - static_cast<float>(static_cast<int>(first)), 0, 3),
            range(static_cast<int>(first) - 1, static_cast<int>(first) + 10));
  // The middle row holds the bars and the text, the outer rows only dashes.
  std::vector<int> middle = redColumns(image, first - static_cast<float>(static_cast<int>(first)), 1, 2);
  ASSERT_FALSE(middle.empty());
  EXPECT_EQ(middle.front(), static_cast<int>(first) - 1);
  EXPECT_EQ(middle.back(), static_cast<int>(first) + 10);
}

TEST_F(ViewWindow, OddLabelCentredWithBarsBesideIt) {
  ViewObject* label = new ViewObject;
  label->setViewString("Ready");
  label->setDrawValue(false);
  label->setBorder(false);
  label->setColor(zv::RED);
  label->setPosition(Vector(40, 10));
  ASSERT_EQ(label->draw(), 0);
  sf::Image plain = zvtest::captureWindow();
  EXPECT_EQ(redColumns(plain, 0, 10, 11), range(38, 42));
  EXPECT_EQ(redRows(plain), std::vector<int>{10});

  zv::DisplayManager::getInstance().presentFrame();
  label->setBorder(true);
  ASSERT_EQ(label->draw(), 0);
  sf::Image framed = zvtest::captureWindow();
  std::vector<int> middle = redColumns(framed, 0, 10, 11);
  ASSERT_FALSE(middle.empty());
  EXPECT_EQ(middle.front(), 36);
  EXPECT_EQ(middle.back(), 44);
  EXPECT_EQ(redColumns(framed, 0, 9, 10), range(37, 43));
  EXPECT_EQ(redRows(framed), range(9, 11));
}

TEST_F(ViewWindow, AnchoredToTheScreenWhileTheViewMoves) {
  ViewObject* points = new ViewObject;
  points->setViewString("Points");
  points->setColor(zv::GREEN);
  points->setBorder(false);
  points->setLocation(zv::TOP_RIGHT);
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(Vector(0, 0), 200, 100));
  world.setViewPosition(Vector(100, 50));
  ASSERT_NE(world.getView().getCorner(), Vector(0, 0));
  ASSERT_EQ(points->draw(), 0);
  sf::Image image = zvtest::captureWindow();
  // "Points 0": eight characters centred on 80 * 5/6 = 66.67, so from 62.67 on;
  // the seventh is the blank.
  std::vector<int> expected = range(62, 67);
  expected.push_back(69);
  EXPECT_EQ(rowsOf(image, zv::GREEN), std::vector<int>{0});
  EXPECT_EQ(columnsOf(image, zv::GREEN, 2.0f / 3.0f, 0, 1), expected);
  EXPECT_TRUE(rowsOf(image, zv::RED).empty());
}

// Through the game loop: the world draws view objects wherever its view is.
TEST_F(ViewWindow, WorldDrawsItFarFromTheView) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(Vector(0, 0), 300, 200));
  world.setViewPosition(Vector(250, 150));
  ASSERT_EQ(world.getView().getCorner(), Vector(210, 138));

  ViewObject* fuel = new ViewObject;
  fuel->setViewString("Fuel");
  fuel->setValue(100);
  fuel->setColor(zv::RED);
  fuel->setPosition(Vector(40, 12));
  zvtest::Recorder* p_stop = new zvtest::Recorder;
  p_stop->setSolidness(zv::SPECTRAL);
  p_stop->setVisible(false);
  p_stop->stop_after_steps = 1;
  p_stop->registerInterest(zv::STEP_EVENT);
  zv::GameManager::getInstance().run();

  // The last frame's drawing is still in the back buffer.
  sf::Image image = zvtest::captureWindow();
  EXPECT_EQ(redRows(image), range(11, 13));
  EXPECT_EQ(redColumns(image, 0, 11, 12), range(35, 44));
  std::vector<int> middle = redColumns(image, 0, 12, 13);
  ASSERT_FALSE(middle.empty());
  EXPECT_EQ(middle.front(), 34);
  EXPECT_EQ(middle.back(), 45);
}
