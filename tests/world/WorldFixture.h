// A started headless engine (frame time 0) for tests of the world.
#ifndef ZV_WORLD_FIXTURE_H
#define ZV_WORLD_FIXTURE_H

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/core/Utility.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/PathFind.h>
#include <zelvra/world/PathManager.h>
#include <zelvra/world/WorldManager.h>

class WorldTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }

 public:
  static void world(float width, float height) {
    zv::WorldManager::getInstance().setBoundary(zv::Box(zv::Vector(0, 0), width, height));
  }
  static zv::Object* at(float x, float y, zv::Solidness solidness = zv::HARD) {
    zv::Object* p_o = new zv::Object;
    p_o->setSolidness(solidness);
    p_o->setPosition(zv::Vector(x, y));
    return p_o;
  }
  // "(x,y) (x,y) ..." so that failures show the route.
  static std::string text(const std::vector<zv::Vector>& nodes) {
    std::string out;
    for (const zv::Vector& v : nodes)
      out += (out.empty() ? "(" : " (") + zv::toString(v.getX()) + "," + zv::toString(v.getY()) + ")";
    return out;
  }
};

#endif
