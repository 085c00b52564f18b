// A started headless engine with helpers to lay out grids for path searches.
#ifndef ZV_PATH_FIXTURE_H
#define ZV_PATH_FIXTURE_H

#include <string>
#include <vector>

#include "WorldFixture.h"
#include "world/EventPath.h"
#include "world/Path.h"
#include "world/PathFind.h"
#include "world/PathManager.h"

class PathTest : public WorldTest {
 protected:
  static void world(float width, float height) {
    zv::WorldManager::getInstance().setBoundary(zv::Box(zv::Vector(0, 0), width, height));
  }
  // An object at a cell; walls are HARD by default.
  static zv::Object* at(int x, int y, zv::Solidness solidness = zv::HARD) {
    zv::Object* p_o = new zv::Object;
    p_o->setSolidness(solidness);
    p_o->setPosition(zv::Vector(static_cast<float>(x), static_cast<float>(y)));
    return p_o;
  }
  // Steps a search until it ends; returns its last result.
  static int finish(zv::PathFind& search, int max_steps = 1000000) {
    int result = zv::PATH_SEARCHING;
    for (int i = 0; i < max_steps && result == zv::PATH_SEARCHING; i++)
      result = search.cycleOnce();
    return result;
  }
  // "(x,y) (x,y) ..." so that failures show the route.
  static std::string text(const std::vector<zv::Vector>& nodes) {
    std::string out;
    for (const zv::Vector& v : nodes) {
      char buf[64];
      snprintf(buf, sizeof(buf), "%s(%g,%g)", out.empty() ? "" : " ", v.getX(), v.getY());
      out += buf;
    }
    return out;
  }
  static std::string text(const std::vector<zv::Cell>& list) {
    std::vector<zv::Vector> nodes;
    for (const zv::Cell& c : list)
      nodes.push_back(zv::Vector(static_cast<float>(c.x), static_cast<float>(c.y)));
    return text(nodes);
  }
  static std::string text(const zv::Path& path) { return text(path.getNodes()); }
};

// Records the results of its searches, then lets the base class take them.
class Seeker : public zv::Object {
 public:
  std::vector<int> results;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::PATH_EVENT)
      results.push_back(static_cast<const zv::EventPath*>(p_e)->getStatus());
    return Object::eventHandler(p_e);
  }
};

#endif
