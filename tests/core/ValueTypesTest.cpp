#include <gtest/gtest.h>

#include "core/Box.h"
#include "core/Color.h"
#include "core/Utility.h"
#include "core/Vector.h"
#include "world/WorldManager.h"

using zv::Box;
using zv::Vector;

TEST(Vector, ArithmeticComparisonAndNormalize) {
  Vector a(1.5f, -2.0f), b(0.5f, 4.0f);
  EXPECT_EQ(a + b, Vector(2.0f, 2.0f));
  EXPECT_EQ(a - b, Vector(1.0f, -6.0f));
  a += b;
  EXPECT_EQ(a, Vector(2.0f, 2.0f));
  EXPECT_TRUE(a != b);
  EXPECT_FALSE(a == Vector(2.0f, 2.5f));
  EXPECT_TRUE(!Vector());
  EXPECT_FALSE(!Vector(0.0f, 0.1f));
  Vector c(3, 4);
  EXPECT_FLOAT_EQ(c.getMagnitude(), 5.0f);
  c.scale(-2);
  EXPECT_EQ(c, Vector(-6, -8));
  c.normalize();
  EXPECT_FLOAT_EQ(c.getX(), -0.6f);
  EXPECT_FLOAT_EQ(c.getY(), -0.8f);
  Vector zero;
  zero.normalize();
  EXPECT_EQ(zero, Vector(0, 0));
}

TEST(Box, EqualityNeedsEveryField) {
  Box b(Vector(1, 2), 3, 4);
  EXPECT_EQ(b, Box(Vector(1, 2), 3, 4));
  EXPECT_NE(b, Box(Vector(1, 3), 3, 4));
  EXPECT_NE(b, Box(Vector(1, 2), 2, 4));
  EXPECT_NE(b, Box(Vector(1, 2), 3, 5));
  EXPECT_FALSE(b == Box(Vector(0, 0), 3, 4));
}

TEST(Utility, DistanceRangeTextAndViewConversions) {
  EXPECT_FLOAT_EQ(zv::distance(Vector(4, 5), Vector(1, 1)), 5.0f);
  EXPECT_TRUE(zv::valueInRange(5, 5, 5));
  EXPECT_TRUE(zv::valueInRange(0, 0, 4));
  EXPECT_FALSE(zv::valueInRange(4.01f, 0, 4));
  EXPECT_FALSE(zv::valueInRange(-0.01f, 0, 4));
  EXPECT_EQ(zv::boolToString(false), "false");
  EXPECT_EQ(zv::toString(-7), "-7");
  for (auto [value, text] : {std::pair<float, const char*>{0.1f, "0.1"}, {100.0f, "100"}, {-0.5f, "-0.5"},
                             {1234567.0f, "1.23457e+06"}, {0.33333334f, "0.333333"}})
    EXPECT_EQ(zv::toString(value), text);
  zv::WorldManager::getInstance().setView(Box(Vector(10, 4), 80, 24));
  EXPECT_EQ(zv::worldToView(Vector(15, 5)), Vector(5, 1));
  EXPECT_EQ(zv::viewToWorld(Vector(5, 1)), Vector(15, 5));
}

TEST(Color, ConversionsFollowTheTable) {
  const struct {
    zv::Color color;
    sf::Color sfml;
    const char* name;
  } table[] = {{zv::BLACK, sf::Color::Black, "Black"},       {zv::RED, sf::Color::Red, "Red"},
               {zv::GREEN, sf::Color::Green, "Green"},       {zv::YELLOW, sf::Color::Yellow, "Yellow"},
               {zv::BLUE, sf::Color::Blue, "Blue"},          {zv::MAGENTA, sf::Color::Magenta, "Magenta"},
               {zv::CYAN, sf::Color::Cyan, "Cyan"},          {zv::WHITE, sf::Color::White, "White"}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    unsigned char r = 1, g = 2, b = 3;
    zv::colorToRGB(row.color, r, g, b);
    EXPECT_EQ(sf::Color(r, g, b), row.sfml);
    EXPECT_EQ(zv::colorToSFML(row.color), row.sfml);
    EXPECT_EQ(zv::colorToString(row.color), row.name);
  }
  // Custom and unknown colours leave the RGB values alone and draw white.
  for (int n : {static_cast<int>(zv::CUSTOM), 42, -3}) {
    unsigned char r = 9, g = 8, b = 7;
    zv::colorToRGB(static_cast<zv::Color>(n), r, g, b);
    EXPECT_EQ(sf::Color(r, g, b), sf::Color(9, 8, 7));
    EXPECT_EQ(zv::colorToSFML(static_cast<zv::Color>(n)), sf::Color::White);
    EXPECT_EQ(zv::colorToString(static_cast<zv::Color>(n)), "Unknown color");
  }
}
