#include <gtest/gtest.h>

#include <zelvra/core/Box.h>
#include <zelvra/core/Color.h>
#include <zelvra/core/Utility.h>
#include <zelvra/world/WorldManager.h>

using zv::Box;
using zv::Vector;

TEST(ValueTypes, VectorBoxAndUtility) {
  Vector a(1.5f, -2.0f), c(3, 4), zero;
  a += Vector(0.5f, 4.0f);
  EXPECT_TRUE(a == Vector(2, 2) && a != Vector(2, 2.5f) && a - Vector(1, 1) == Vector(1, 1) && !Vector() && !!a);
  c.scale(-2);
  EXPECT_EQ((std::vector<float>{c.getMagnitude(), zv::distance(Vector(4, 5), Vector(1, 1))}), (std::vector<float>{10, 5}));
  c.normalize(), zero.normalize();
  EXPECT_EQ(std::vector<Vector>({c, zero}), std::vector<Vector>({Vector(-0.6f, -0.8f), Vector()}));
  Box box(Vector(1, 2), 3, 4);
  for (const Box& other : {Box(Vector(1, 3), 3, 4), Box(Vector(1, 2), 2, 4), Box(Vector(1, 2), 3, 5)})
    EXPECT_NE(box, other);
  EXPECT_TRUE(zv::valueInRange(4, 0, 4) && zv::valueInRange(0, 0, 4) && !zv::valueInRange(4.01f, 0, 4) &&
              !zv::valueInRange(-0.01f, 0, 4));
  EXPECT_EQ(std::vector<std::string>({zv::toString(-7), zv::toString(0.1f), zv::toString(100.0f), zv::toString(-0.5f),
                                      zv::toString(1234567.0f), zv::toString(0.33333334f)}),
            std::vector<std::string>({"-7", "0.1", "100", "-0.5", "1.23457e+06", "0.333333"}));
  zv::WorldManager::getInstance().setView(Box(Vector(10, 4), 80, 24));
  EXPECT_EQ(std::vector<Vector>({zv::worldToView(Vector(15, 5)), zv::viewToWorld(Vector(5, 1))}),
            std::vector<Vector>({Vector(5, 1), Vector(15, 5)}));
}

TEST(ValueTypes, ColorsFollowTheTable) {
  // Custom and unknown colours leave the RGB values alone, draw white and have no name.
  for (int n : {static_cast<int>(zv::MAGENTA), static_cast<int>(zv::CUSTOM), 42, -3}) {
    bool known = n == zv::MAGENTA;
    unsigned char r = 9, g = 8, b = 7;
    zv::colorToRGB(static_cast<zv::Color>(n), r, g, b);
    EXPECT_EQ(sf::Color(r, g, b), known ? sf::Color::Magenta : sf::Color(9, 8, 7)) << n;
    EXPECT_EQ(zv::colorToSFML(static_cast<zv::Color>(n)), known ? sf::Color::Magenta : sf::Color::White) << n;
    EXPECT_EQ(zv::colorToString(static_cast<zv::Color>(n)), known ? "Magenta" : "Unknown color");
  }
}
