#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Box.h"
#include "core/Color.h"
#include "core/LogManager.h"
#include "core/Utility.h"
#include "core/Vector.h"
#include "world/WorldManager.h"

using zv::Box;
using zv::Vector;

TEST(Vector, ArithmeticAndComparison) {
  Vector a(1.5f, -2.0f), b(0.5f, 4.0f);
  EXPECT_EQ(a + b, Vector(2.0f, 2.0f));
  EXPECT_EQ(a - b, Vector(1.0f, -6.0f));
  a += b;
  EXPECT_EQ(a, Vector(2.0f, 2.0f));
  EXPECT_TRUE(a != b);
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(!Vector());
  EXPECT_FALSE(!Vector(0.0f, 0.1f));
  Vector c;
  c.setXY(3, 4);
  EXPECT_FLOAT_EQ(c.getMagnitude(), 5.0f);
  c.scale(-2);
  EXPECT_EQ(c, Vector(-6, -8));
  c.setX(1);
  c.setY(2);
  EXPECT_EQ(c.getX(), 1.0f);
  EXPECT_EQ(c.getY(), 2.0f);
}

TEST(Vector, NormalizeKeepsZeroVectors) {
  Vector zero;
  zero.normalize();
  EXPECT_EQ(zero, Vector(0, 0));
  Vector v(3, 4);
  v.normalize();
  EXPECT_FLOAT_EQ(v.getX(), 0.6f);
  EXPECT_FLOAT_EQ(v.getY(), 0.8f);
  Vector negative(0, -2);
  negative.normalize();
  EXPECT_EQ(negative, Vector(0, -1));
}

TEST(Box, FieldsAndEquality) {
  Box empty;
  EXPECT_EQ(empty.getCorner(), Vector(0, 0));
  EXPECT_EQ(empty.getHorizontal(), 0.0f);
  EXPECT_EQ(empty.getVertical(), 0.0f);
  Box b(Vector(1, 2), 3, 4);
  EXPECT_EQ(b, Box(Vector(1, 2), 3, 4));
  EXPECT_NE(b, Box(Vector(1, 2), 3, 5));
  EXPECT_NE(b, Box(Vector(1, 3), 3, 4));
  b.setCorner(Vector(5, 5));
  b.setHorizontal(1);
  b.setVertical(2);
  EXPECT_EQ(b, Box(Vector(5, 5), 1, 2));
}

TEST(Utility, DistanceRangeAndText) {
  EXPECT_FLOAT_EQ(zv::distance(Vector(1, 1), Vector(4, 5)), 5.0f);
  EXPECT_FLOAT_EQ(zv::distance(Vector(4, 5), Vector(1, 1)), 5.0f);
  EXPECT_TRUE(zv::valueInRange(5, 5, 5));
  EXPECT_TRUE(zv::valueInRange(0, 0, 4));
  EXPECT_FALSE(zv::valueInRange(4.01f, 0, 4));
  EXPECT_FALSE(zv::valueInRange(-0.01f, 0, 4));
  EXPECT_EQ(zv::boolToString(true), "true");
  EXPECT_EQ(zv::boolToString(false), "false");
  EXPECT_EQ(zv::toString(-7), "-7");
  EXPECT_EQ(zv::toString(0), "0");
  EXPECT_EQ(zv::toString(0.1f), "0.1");
  EXPECT_EQ(zv::toString(0.5f), "0.5");
  EXPECT_EQ(zv::toString(100.0f), "100");
  EXPECT_EQ(zv::toString(-0.5f), "-0.5");
  EXPECT_EQ(zv::toString(1234567.0f), "1.23457e+06");
  EXPECT_EQ(zv::toString(0.33333334f), "0.333333");
}

TEST(Color, ConversionsFollowTheTable) {
  unsigned char r = 1, g = 2, b = 3;
  zv::colorToRGB(zv::YELLOW, r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 0);
  zv::colorToRGB(zv::MAGENTA, r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 255);
  r = 9, g = 8, b = 7;
  zv::colorToRGB(zv::CUSTOM, r, g, b);
  EXPECT_EQ(r, 9);
  EXPECT_EQ(g, 8);
  EXPECT_EQ(b, 7);
  zv::colorToRGB(static_cast<zv::Color>(42), r, g, b);
  EXPECT_EQ(r, 9);
  EXPECT_EQ(zv::colorToSFML(zv::CYAN), sf::Color::Cyan);
  EXPECT_EQ(zv::colorToSFML(zv::BLACK), sf::Color::Black);
  EXPECT_EQ(zv::colorToSFML(zv::CUSTOM), sf::Color::White);
  EXPECT_EQ(zv::colorToSFML(static_cast<zv::Color>(-3)), sf::Color::White);
  EXPECT_EQ(zv::colorToString(zv::BLACK), "Black");
  EXPECT_EQ(zv::colorToString(zv::WHITE), "White");
  EXPECT_EQ(zv::colorToString(zv::CUSTOM), "Unknown color");
  EXPECT_EQ(zv::colorToString(static_cast<zv::Color>(-1)), "Unknown color");
}

TEST(Color, UnsupportedValuesAreLoggedAtLevelFive) {
  zv::LogManager& log = zv::LogManager::getInstance();
  log.setLogLevel(5);
  log.startUp();
  unsigned char r = 0, g = 0, b = 0;
  zv::colorToRGB(static_cast<zv::Color>(12), r, g, b);
  zv::colorToRGB(zv::CUSTOM, r, g, b);
  zv::colorToSFML(zv::CUSTOM);
  zv::colorToSFML(static_cast<zv::Color>(9));
  log.shutDown();
  EXPECT_TRUE(zvtest::logContains("colorToRGB(): Color 12 not supported."));
  EXPECT_EQ(zvtest::logCount("colorToRGB(): Color 8"), 0);
  EXPECT_TRUE(zvtest::logContains("colorToSFML(): Color is CUSTOM."));
  EXPECT_TRUE(zvtest::logContains("colorToSFML(): Color 9 not supported."));
}

TEST(Utility, WorldAndViewConversionsUseTheViewCorner) {
  zv::WorldManager& wm = zv::WorldManager::getInstance();
  wm.setView(Box(Vector(10, 4), 80, 24));
  EXPECT_EQ(zv::worldToView(Vector(15, 5)), Vector(5, 1));
  EXPECT_EQ(zv::viewToWorld(Vector(5, 1)), Vector(15, 5));
  wm.setView(Box());
}
